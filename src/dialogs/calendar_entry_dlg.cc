#include "dialogs/calendar_entry_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>

#include "core/weekdays.h"
#include "data/database.h"
#include "dialogs/entry_form.h"
#include "records/calendar_records.h"

namespace brenlow {
namespace {

constexpr int kOffIndex = 0;  // "kind": 放假, then 调休上课

CalendarDate ToCalendarDate(QDate date) {
  return CalendarDate{date.year(), date.month(), date.day()};
}

}  // namespace

CalendarEntryDlg::CalendarEntryDlg(Store store, QDate initial, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("添加校历"));
  from_ = NewDateEdit(initial, "from");
  to_ = NewDateEdit(initial, "to");
  kind_ = NewCombo("kind");
  kind_->addItems({QStringLiteral("放假"), QStringLiteral("调休上课")});
  weekday_ = NewCombo("weekday");
  for (const char* weekday : kSchoolWeekdays)
    weekday_->addItem(QString::fromUtf8(weekday));
  class_ = NewCombo("class");
  class_->addItem(QStringLiteral("全校"));
  try {
    Database db = store_.database();
    AddClassNames(db, class_);
  } catch (const DatabaseError&) {
    // A class list that cannot be read leaves the whole school only.
  }
  note_ = new QLineEdit;
  note_->setObjectName(QStringLiteral("note"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("日期(&D)"), from_);
  form->addRow(QStringLiteral("至(&T)"), to_);
  form->addRow(QStringLiteral("类型(&K)"), kind_);
  form->addRow(QStringLiteral("按星期(&W)"), weekday_);
  form->addRow(QStringLiteral("班级(&C)"), class_);
  form->addRow(QStringLiteral("备注(&N)"), note_);
  LayOutWithOkAndCancel(this, form);

  connect(kind_, &QComboBox::currentIndexChanged, this, &CalendarEntryDlg::kindChanged);
  kindChanged();
}

void CalendarEntryDlg::kindChanged() {
  // A make-up day is one date of the whole school; a day off takes no weekday.
  const bool follows = kind_->currentIndex() != kOffIndex;
  weekday_->setEnabled(follows);
  to_->setEnabled(!follows);
  class_->setEnabled(!follows);
  if (follows) {
    to_->setDate(from_->date());
    class_->setCurrentIndex(0);
  }
}

void CalendarEntryDlg::accept() {
  const bool follows = kind_->currentIndex() != kOffIndex;
  const QDate last = follows ? from_->date() : to_->date();
  std::optional<std::vector<CalendarDate>> dates =
      DatesFromTo(ToCalendarDate(from_->date()), ToCalendarDate(last));
  if (!dates) {
    ShowRefusal(last < from_->date()
                    ? "结束日期早于开始日期。"
                    : "一次最多添加 " + std::to_string(kMaxCalendarRangeDays) + " 天。");
    return;
  }
  const std::string className =
      class_->currentIndex() == 0 ? "" : class_->currentText().toStdString();
  std::vector<CalendarEntry> entries;
  for (const CalendarDate& date : *dates) {
    entries.push_back(CalendarEntry{date, follows ? CalendarKind::kFollows : CalendarKind::kOff,
                                    follows ? weekday_->currentText().toStdString() : "", className,
                                    note_->text().toStdString()});
  }
  Database db = store_.database();
  const bool written = WriteEntry(
      db, [&](Database& store) { return CalendarEntryRefusal(store, entries.front()); },
      [&](Database& store) { return AddCalendarEntries(store, entries); }, "校历读取失败。");
  if (written)
    QDialog::accept();
}

}  // namespace brenlow
