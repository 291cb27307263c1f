#include "dialogs/teacher_info_import.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "dialogs/csv_file_dialog.h"
#include "dialogs/dialog_parts.h"
#include "records/teacher_import.h"

namespace brenlow {

CTeacherInfoImport::CTeacherInfoImport(Store store, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("导入老师信息"));
  path_ = new QLineEdit(this);
  path_->setObjectName(QStringLiteral("1011"));
  path_->setMinimumWidth(320);
  QPushButton* browse = AddButton(this, QStringLiteral(".  .  ."), QStringLiteral("1005"));
  QPushButton* ok = AddButton(this, QStringLiteral("确定"), QStringLiteral("1"));
  ok->setDefault(true);
  connect(browse, &QPushButton::clicked, this, &CTeacherInfoImport::OnBrowse);
  connect(ok, &QPushButton::clicked, this, &CTeacherInfoImport::OnImportFile);

  auto* label = new QLabel(QStringLiteral("文件:"), this);
  label->setBuddy(path_);
  auto* pathRow = new QHBoxLayout;
  pathRow->addWidget(label);
  pathRow->addWidget(path_);
  pathRow->addWidget(browse);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pathRow);
  layout->addLayout(ButtonRow({ok}));
}

void CTeacherInfoImport::OnBrowse() {
  if (std::optional<QString> path = ChooseCsvFile(this))
    path_->setText(*path);
}

void CTeacherInfoImport::OnImportFile() {
  succeeded_ = true;
  failureDetail_.clear();
  ImportTeachers(path_->text().toStdString());
  Message result(succeeded_ ? "导入成功！" : "导入失败！");
  result.detail = failureDetail_;
  ShowMessage(result);
}

void CTeacherInfoImport::ImportTeachers(const std::string& path) {
  TeacherImportResult result = ImportTeacherFile(store_, path);
  if (!result.ok) {
    fail(result.detail);
    return;
  }
  // What was written and each line skipped, for the message's details.
  for (const std::string& line : TeacherImportSummary(result, false))
    failureDetail_ += (failureDetail_.empty() ? "" : "\n") + line;
}

void CTeacherInfoImport::fail(const std::string& reason) {
  succeeded_ = false;
  if (!failureDetail_.empty())
    failureDetail_ += "\n";
  failureDetail_ += reason;
}

}  // namespace brenlow
