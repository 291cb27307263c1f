#include "dialogs/day_changes_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "data/database.h"
#include "dialogs/day_change_dlg.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/entry_table.h"
#include "records/day_changes.h"

namespace brenlow {
namespace {

enum Column { kDate, kClass, kPeriod, kKind, kTeacher, kNote };

}  // namespace

DayChangesPanel::DayChangesPanel(Store store, QWidget* parent)
    : QWidget(parent), store_(std::move(store)) {
  auto* title = new QLabel(QStringLiteral("代课与停课"), this);
  table_ =
      NewEntryTable(this, QStringLiteral("changes"), QStringLiteral("代课与停课"),
                    {QStringLiteral("日期"), QStringLiteral("班级"), QStringLiteral("节"),
                     QStringLiteral("类型"), QStringLiteral("代课老师"), QStringLiteral("备注")});
  title->setBuddy(table_);

  auto* add = NewButton(QStringLiteral("添加…"), QStringLiteral("addChange"));
  auto* remove = NewButton(QStringLiteral("删除"), QStringLiteral("removeChange"));
  connect(add, &QPushButton::clicked, this, &DayChangesPanel::OnAdd);
  connect(remove, &QPushButton::clicked, this, &DayChangesPanel::OnRemove);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(title);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
}

void DayChangesPanel::refresh() {
  std::vector<DayChange> changes;
  try {
    Database db = store_.database();
    changes = ListDayChanges(db, std::nullopt, std::nullopt);
  } catch (const DatabaseError&) {
    ShowMessage(Message{"代课与停课读取失败。", MessageIcon::kWarning});
    return;
  }
  std::vector<std::vector<std::string>> rows;
  for (const DayChange& change : changes) {
    rows.push_back({change.date.text(), change.className, std::to_string(change.period),
                    ChangeKindText(change.kind), change.teacher, change.note});
  }
  ShowEntryRows(table_, rows);
}

void DayChangesPanel::OnAdd() {
  DayChangeDlg dialog(store_, initialDate_, this);
  if (dialog.exec() == QDialog::Accepted)
    refresh();
}

void DayChangesPanel::OnRemove() {
  const int row = table_->currentRow();
  if (row < 0 || table_->item(row, kDate) == nullptr) {
    ShowMessage("请先选择要删除的代课或停课。");
    return;
  }
  const std::string dateText = table_->item(row, kDate)->text().toStdString();
  const std::string className = table_->item(row, kClass)->text().toStdString();
  const int period = table_->item(row, kPeriod)->text().toInt();
  if (!ConfirmRemoval("确定删除 " + dateText + " " + className + " 第" + std::to_string(period) +
                      "节的" + table_->item(row, kKind)->text().toStdString() + "吗？"))
    return;
  const std::optional<CalendarDate> date = CalendarDate::Parse(dateText);
  Database db = store_.database();
  if (date && db.open())
    RemoveDayChange(db, *date, className, period);  // a failure has been shown
  refresh();
}

}  // namespace brenlow
