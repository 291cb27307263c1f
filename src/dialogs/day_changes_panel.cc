#include "dialogs/day_changes_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "data/database.h"
#include "dialogs/day_change_dlg.h"
#include "records/day_changes.h"

namespace brenlow {
namespace {

enum Column { kDate, kClass, kPeriod, kKind, kTeacher, kNote, kColumns };

QPushButton* Button(const QString& caption, const char* name) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

DayChangesPanel::DayChangesPanel(QWidget* parent) : QWidget(parent) {
  auto* title = new QLabel(QStringLiteral("代课与停课"), this);
  table_ = new QTableWidget(0, kColumns, this);
  table_->setObjectName(QStringLiteral("changes"));
  table_->setAccessibleName(QStringLiteral("代课与停课"));
  title->setBuddy(table_);
  table_->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("班级"),
                                     QStringLiteral("节"), QStringLiteral("类型"),
                                     QStringLiteral("代课老师"), QStringLiteral("备注")});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);

  auto* add = Button(QStringLiteral("添加…"), "addChange");
  auto* remove = Button(QStringLiteral("删除"), "removeChange");
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
    Database db = Database::DefaultStore();
    changes = ListDayChanges(db, std::nullopt, std::nullopt);
  } catch (const DatabaseError&) {
    ShowMessage(Message{"代课与停课读取失败。", MessageIcon::kWarning});
    return;
  }
  table_->setRowCount(static_cast<int>(changes.size()));
  for (int row = 0; row < static_cast<int>(changes.size()); ++row) {
    const DayChange& change = changes[static_cast<size_t>(row)];
    const std::string texts[kColumns] = {
        change.date.text(),          change.className, std::to_string(change.period),
        ChangeKindText(change.kind), change.teacher,   change.note};
    for (int column = 0; column < kColumns; ++column)
      table_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(texts[column])));
  }
}

void DayChangesPanel::OnAdd() {
  DayChangeDlg dialog(initialDate_, this);
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
  Message question("确定删除 " + dateText + " " + className + " 第" + std::to_string(period) +
                       "节的" + table_->item(row, kKind)->text().toStdString() + "吗？",
                   MessageIcon::kQuestion);
  question.buttons = MessageButtons::kYesNo;
  if (ShowMessage(question) != MessageAnswer::kYes)
    return;
  const std::optional<CalendarDate> date = CalendarDate::Parse(dateText);
  Database db = Database::DefaultStore();
  if (date && db.open())
    RemoveDayChange(db, *date, className, period);  // a failure has been shown
  refresh();
}

}  // namespace brenlow
