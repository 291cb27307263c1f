#include "dialogs/report_list.h"

#include <QHeaderView>
#include <QTableWidget>

namespace brenlow {

QTableWidget* MakeReportList(QWidget* parent, const QString& objectName,
                             const std::vector<ReportColumn>& columns) {
  auto* list = new QTableWidget(0, static_cast<int>(columns.size()), parent);
  list->setObjectName(objectName);
  list->setShowGrid(true);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setWordWrap(false);
  // Tab leaves the list for the next control, as in any other list; arrows move in it.
  list->setTabKeyNavigation(false);
  list->verticalHeader()->hide();
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setStretchLastSection(false);
  QStringList headings;
  for (const ReportColumn& column : columns)
    headings << column.heading;
  list->setHorizontalHeaderLabels(headings);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    list->setColumnWidth(i, columns[static_cast<size_t>(i)].width);
  }
  return list;
}

void AppendReportRow(QTableWidget& list, const QStringList& texts) {
  int row = list.rowCount();
  list.insertRow(row);
  for (int column = 0; column < list.columnCount(); ++column) {
    auto* item = new QTableWidgetItem(texts.value(column));
    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list.setItem(row, column, item);
  }
}

QString ReportText(const QTableWidget& list, int row, int column) {
  const QTableWidgetItem* item = list.item(row, column);
  return item != nullptr ? item->text() : QString();
}

void SetReportText(QTableWidget& list, int row, int column, const QString& text) {
  if (QTableWidgetItem* item = list.item(row, column)) {
    item->setText(text);
  } else {
    list.setItem(row, column, new QTableWidgetItem(text));
  }
}

int FirstSelectedRow(const QTableWidget& list) {
  int first = -1;
  for (const QModelIndex& index : list.selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first)
      first = index.row();
  }
  return first;
}

int CharacterCount(const QString& text) {
  return static_cast<int>(text.toUcs4().size());
}

std::string CutText(const QString& text, int limit) {
  QList<uint> characters = text.toUcs4();
  if (characters.size() > limit)
    characters.resize(limit);
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                           characters.size())
      .toStdString();
}

}  // namespace brenlow
