#include "dialogs/entry_table.h"

#include <QHeaderView>
#include <QTableWidget>

#include "core/messages.h"

namespace brenlow {

QTableWidget* NewEntryTable(QWidget* parent, const QString& objectName,
                            const QString& accessibleName, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
  table->setObjectName(objectName);
  table->setAccessibleName(accessibleName);
  table->setHorizontalHeaderLabels(headers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->verticalHeader()->setVisible(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

void ShowEntryRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const std::vector<std::string>& texts = rows[static_cast<size_t>(row)];
    for (int column = 0; column < static_cast<int>(texts.size()); ++column) {
      table->setItem(
          row, column,
          new QTableWidgetItem(QString::fromStdString(texts[static_cast<size_t>(column)])));
    }
  }
}

bool ConfirmRemoval(const std::string& question) {
  Message message(question, MessageIcon::kQuestion);
  message.buttons = MessageButtons::kYesNo;
  return ShowMessage(message) == MessageAnswer::kYes;
}

}  // namespace brenlow
