#include "dialogs/calendar_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "core/messages.h"
#include "data/database.h"
#include "dialogs/calendar_entry_dlg.h"
#include "dialogs/day_changes_panel.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/entry_table.h"
#include "dialogs/marked_calendar.h"
#include "records/calendar_import.h"
#include "records/calendar_records.h"

namespace brenlow {
namespace {

enum Column { kDate, kKind, kWeekday, kClass, kNote };

QDate ToQDate(const CalendarDate& date) {
  return QDate(date.year, date.month, date.day);
}

// A whole-school day off and a make-up day outrank a class's own day off on the same date.
MarkedCalendar::Mark MarkOf(const CalendarEntry& entry) {
  if (entry.kind == CalendarKind::kFollows)
    return MarkedCalendar::Mark::kMakeUp;
  return entry.className.empty() ? MarkedCalendar::Mark::kSchoolOff
                                 : MarkedCalendar::Mark::kClassOff;
}

}  // namespace

CalendarWindow::CalendarWindow(Store store, QWidget* parent)
    : QWidget(parent, Qt::Window), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("校历"));
  calendar_ = new MarkedCalendar(this);
  calendar_->setObjectName(QStringLiteral("month"));
  calendar_->setAccessibleName(QStringLiteral("校历月历"));
  auto* legend = new QLabel(MarkedCalendar::Legend(), this);

  table_ = NewEntryTable(this, QStringLiteral("entries"), QStringLiteral("校历条目"),
                         {QStringLiteral("日期"), QStringLiteral("类型"), QStringLiteral("按星期"),
                          QStringLiteral("班级"), QStringLiteral("备注")});

  auto* limit = new QLabel(
      QStringLiteral("注意：教室终端按自己的时钟选择当天的课表。调休上课的周六、周日，终端仍显示"
                     "当天（无课）；服务器则按所调的星期开关教室、认卡和计时。"),
      this);
  limit->setWordWrap(true);

  auto* add = NewButton(QStringLiteral("添加…"), QStringLiteral("add"));
  auto* remove = NewButton(QStringLiteral("删除"), QStringLiteral("remove"));
  auto* import = NewButton(QStringLiteral("导入…"), QStringLiteral("import"));
  connect(add, &QPushButton::clicked, this, &CalendarWindow::OnAdd);
  connect(remove, &QPushButton::clicked, this, &CalendarWindow::OnRemove);
  connect(import, &QPushButton::clicked, this, &CalendarWindow::OnImport);
  // A click on a listed entry shows its month.
  connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
    if (QTableWidgetItem* date = table_->item(row, kDate))
      calendar_->setSelectedDate(QDate::fromString(date->text(), Qt::ISODate));
  });
  changes_ = new DayChangesPanel(store_, this);
  changes_->setInitialDate(calendar_->selectedDate());
  connect(calendar_, &QCalendarWidget::selectionChanged, this,
          [this] { changes_->setInitialDate(calendar_->selectedDate()); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addWidget(import);
  buttons->addStretch(1);
  auto* left = new QVBoxLayout;
  left->addWidget(calendar_);
  left->addWidget(legend);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  right->addWidget(table_, 1);
  right->addLayout(buttons);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addWidget(changes_, 1);
  layout->addWidget(limit);
  resize(860, 640);
}

void CalendarWindow::refresh() {
  std::vector<CalendarEntry> entries;
  try {
    Database db = store_.database();
    entries = ListCalendarEntries(db, std::nullopt, std::nullopt);
  } catch (const DatabaseError&) {
    ShowMessage(Message{"校历读取失败。", MessageIcon::kWarning});
    return;
  }
  std::vector<std::vector<std::string>> rows;
  for (const CalendarEntry& entry : entries) {
    const bool follows = entry.kind == CalendarKind::kFollows;
    rows.push_back({entry.date.text(), follows ? "调休上课" : "放假", follows ? entry.weekday : "",
                    entry.className.empty() ? "全校" : entry.className, entry.note});
  }
  ShowEntryRows(table_, rows);
  std::map<QDate, MarkedCalendar::Mark> marks;
  for (int row = 0; row < static_cast<int>(entries.size()); ++row) {
    const CalendarEntry& entry = entries[static_cast<size_t>(row)];
    // The entry's class as stored (empty: the whole school), for "删除".
    table_->item(row, kClass)->setData(Qt::UserRole, QString::fromStdString(entry.className));
    MarkedCalendar::Mark& mark = marks[ToQDate(entry.date)];
    if (mark == MarkedCalendar::Mark::kNone || mark == MarkedCalendar::Mark::kClassOff)
      mark = MarkOf(entry);
  }
  calendar_->setMarks(marks);
  changes_->refresh();
}

void CalendarWindow::OnAdd() {
  CalendarEntryDlg dialog(store_, calendar_->selectedDate(), this);
  if (dialog.exec() == QDialog::Accepted)
    refresh();
}

void CalendarWindow::OnRemove() {
  const int row = table_->currentRow();
  if (row < 0 || table_->item(row, kDate) == nullptr) {
    ShowMessage("请先选择要删除的条目。");
    return;
  }
  const std::string dateText = table_->item(row, kDate)->text().toStdString();
  const std::string className =
      table_->item(row, kClass)->data(Qt::UserRole).toString().toStdString();
  if (!ConfirmRemoval("确定删除 " + dateText + " " + (className.empty() ? "全校" : className) +
                      " 的校历条目吗？"))
    return;
  const std::optional<CalendarDate> date = CalendarDate::Parse(dateText);
  Database db = store_.database();
  if (date && db.open())
    RemoveCalendarEntries(db, *date, *date, className);  // a failure has been shown
  refresh();
}

void CalendarWindow::OnImport() {
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(
      {QStringLiteral("校历文件 (*.json *.csv)"), QStringLiteral("所有文件 (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  importFile(dialog.selectedFiles().front());
}

void CalendarWindow::importFile(const QString& path) {
  CalendarImport result;
  try {
    Database db = store_.database();
    if (!db.open())
      return;
    result = ImportCalendarFile(db, path.toStdString(), {});
  } catch (const DatabaseError&) {
    result.error = "校历读取失败。";
  }
  refresh();
  if (!result.ok) {
    Message failure("导入失败！", MessageIcon::kWarning);
    failure.detail = result.error;
    ShowMessage(failure);
    return;
  }
  std::string text = "导入 " + std::to_string(result.written.size()) + " 条。";
  if (!result.unnamedMakeUpDays.empty()) {
    // Which weekday a make-up working day runs is not in the file and is never guessed.
    text += "\n以下补班日未导入，请用“添加…”选择“调休上课”和按星期几：";
    for (const MakeUpDay& day : result.unnamedMakeUpDays)
      text += "\n" + day.date + " " + day.name + " 补班";
  }
  ShowMessage(Message{text, MessageIcon::kInformation});
}

void CalendarWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
}

}  // namespace brenlow
