// The list of dated entries that the school calendar window and its one-day changes panel show:
// a read-only table of whole rows, one selected at a time, and the question before one is
// removed. User-interface thread only.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QTableWidget;
class QWidget;

namespace brenlow {

// A table of headers.size() columns named objectName (its accessible name too, for screen
// readers), rows chosen whole and one at a time, nothing edited in place, the columns as wide as
// their texts and the last one taking the rest.
QTableWidget* NewEntryTable(QWidget* parent, const QString& objectName,
                            const QString& accessibleName, const QStringList& headers);

// Replaces the table's rows by rows, each one text a column.
void ShowEntryRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows);

// Asks question with Yes and No; true on Yes.
bool ConfirmRemoval(const std::string& question);

}  // namespace brenlow
