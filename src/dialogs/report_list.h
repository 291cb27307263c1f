// The report-style lists of the administration dialogs: a table of texts with grid lines,
// whole-row selection and several selectable rows, which the dialogs use as the working copy
// of a table while they are open. All functions run on the user-interface thread.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "records/text_characters.h"

class QTableWidget;
class QWidget;

namespace brenlow {

struct ReportColumn {
  QString heading;
  int width;  // pixels
};

// A list named objectName with the given columns, left-aligned, not editable in place.
QTableWidget* MakeReportList(QWidget* parent, const QString& objectName,
                             const std::vector<ReportColumn>& columns);

void AppendReportRow(QTableWidget& list, const QStringList& texts);
QString ReportText(const QTableWidget& list, int row, int column);
void SetReportText(QTableWidget& list, int row, int column, const QString& text);

// The lowest selected row, or -1 when no row is selected.
int FirstSelectedRow(const QTableWidget& list);

// Characters as a person counts them (code points), not UTF-16 units.
int CharacterCount(const QString& text);

// The first `limit` characters of text, as UTF-8; never splits a character. The stored texts
// have room for kStoredTextCharacters, so longer list texts are cut to that on the way in.
std::string CutText(const QString& text, int limit = kStoredTextCharacters);

}  // namespace brenlow
