#include "dialogs/csv_file_dialog.h"

#include <QFileDialog>

namespace brenlow {

std::optional<QString> ChooseCsvFile(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(QStringLiteral("CSV File (*.csv)"));
  dialog.setDefaultSuffix(QStringLiteral("csv"));
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  QStringList files = dialog.selectedFiles();
  if (files.isEmpty())
    return std::nullopt;
  return files.front();
}

}  // namespace brenlow
