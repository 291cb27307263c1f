#include "dialogs/day_change_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>

#include "core/weekdays.h"
#include "data/database.h"
#include "dialogs/entry_form.h"
#include "records/day_changes.h"

namespace brenlow {
namespace {

constexpr int kSubstituteIndex = 0;  // "kind": 代课, then 停课

}  // namespace

DayChangeDlg::DayChangeDlg(Store store, QDate initial, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("添加代课或停课"));
  date_ = NewDateEdit(initial, "date");
  class_ = NewCombo("class");
  period_ = NewCombo("period");
  for (int period = 1; period <= kPeriodsPerDay; ++period)
    period_->addItem(QString::number(period));
  kind_ = NewCombo("kind");
  kind_->addItems({QStringLiteral("代课"), QStringLiteral("停课")});
  teacher_ = NewCombo("teacher");
  try {
    Database db = store_.database();
    AddClassNames(db, class_);
    RecordSet teachers = db.query("select Numb,NameNumb from tblThMes Order by ID");
    for (; teachers.isValid() && !teachers.isEof(); teachers.moveNext()) {
      teacher_->addItem(QString::fromStdString(teachers.fieldText("NameNumb")),
                        QString::fromStdString(teachers.fieldText("Numb")));
    }
  } catch (const DatabaseError&) {
    // Lists that cannot be read stay short; the refusal names what is missing.
  }
  note_ = new QLineEdit;
  note_->setObjectName(QStringLiteral("note"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("日期(&D)"), date_);
  form->addRow(QStringLiteral("班级(&C)"), class_);
  form->addRow(QStringLiteral("节次(&P)"), period_);
  form->addRow(QStringLiteral("类型(&K)"), kind_);
  form->addRow(QStringLiteral("代课老师(&T)"), teacher_);
  form->addRow(QStringLiteral("备注(&N)"), note_);
  LayOutWithOkAndCancel(this, form);

  connect(kind_, &QComboBox::currentIndexChanged, this, &DayChangeDlg::kindChanged);
  kindChanged();
}

void DayChangeDlg::kindChanged() {
  // A cancelled lesson has no teacher.
  teacher_->setEnabled(kind_->currentIndex() == kSubstituteIndex);
}

void DayChangeDlg::accept() {
  const QDate date = date_->date();
  DayChange change;
  change.date = CalendarDate{date.year(), date.month(), date.day()};
  change.className = class_->currentText().toStdString();
  change.period = period_->currentIndex() + 1;
  change.kind =
      kind_->currentIndex() == kSubstituteIndex ? ChangeKind::kSubstitute : ChangeKind::kCancelled;
  if (change.kind == ChangeKind::kSubstitute)
    change.teacherNumber = teacher_->currentData().toString().toStdString();
  change.note = note_->text().toStdString();
  Database db = store_.database();
  const bool written = WriteEntry(
      db, [&](Database& store) { return DayChangeRefusal(store, change); },
      [&](Database& store) { return AddDayChange(store, change); }, "代课与停课读取失败。");
  if (written)
    QDialog::accept();
}

}  // namespace brenlow
