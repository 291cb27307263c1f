// The file choice of the CSV imports and exports: an open-style dialog (a name that does not
// exist yet may be typed, an existing file is taken without a question) showing "CSV File"
// (*.csv), default extension csv, no initial file name. User-interface thread only.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace brenlow {

// The chosen path, or nothing when the dialog was cancelled.
std::optional<QString> ChooseCsvFile(QWidget* parent);

}  // namespace brenlow
