#include "admin/teacher_info_import.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "admin/csv_file_dialog.h"
#include "admin/dialog_parts.h"
#include "admin/gbk_text_file.h"
#include "admin/teacher_file.h"
#include "core/messages.h"
#include "data/database.h"
#include "data/database_path.h"

namespace brenlow {
namespace {

std::string RefusedLinesText(const std::vector<int>& lines) {
  std::string numbers;
  for (int line : lines) {
    if (!numbers.empty())
      numbers += "、";
    numbers += std::to_string(line);
  }
  return "第 " + numbers + " 行的工号或姓名多于 " + std::to_string(kTeacherFieldCharacters) +
         " 个字符，未导入。";
}

}  // namespace

CTeacherInfoImport::CTeacherInfoImport(QWidget* parent) : QDialog(parent) {
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
  Database db;
  db.setPath(DatabasePath());
  db.open();
  GbkReadResult file = ReadGbkLines(path);
  if (file.status != GbkReadStatus::kOk) {
    // A file that is not GBK text throughout is refused whole rather than imported as
    // whatever its bytes happen to decode to.
    fail(file.errorText);
    return;
  }
  TeacherFileContent content = ParseTeacherFile(file.lines);
  if (!content.headerOk) {
    fail(std::string("第一行不是 \"") + kTeacherFileHeader + "\"。");
    return;
  }
  if (!content.refusedLines.empty())
    fail(RefusedLinesText(content.refusedLines));
  for (const TeacherFileRow& teacher : content.teachers) {
    RecordSet existing = db.query(
        FormatStatement("select ID from tblThMes where Numb = '%s'  Order by ID", teacher.number));
    if (!existing.isValid()) {
      fail("第 " + std::to_string(teacher.lineNumber) + " 行：无法读取老师表。");
      return;
    }
    if (!existing.isEof())
      continue;
    std::string nameNumb = teacher.name + "(" + teacher.number + ")";
    if (!db.execute(
            FormatStatement("Insert into tblThMes (Numb, Name, NameNumb) Values ('%s', '%s', '%s')",
                            teacher.number, teacher.name, nameNumb))) {
      fail("第 " + std::to_string(teacher.lineNumber) + " 行：无法写入老师表，导入到此为止。");
      return;
    }
  }
}

void CTeacherInfoImport::fail(const std::string& reason) {
  succeeded_ = false;
  if (!failureDetail_.empty())
    failureDetail_ += "\n";
  failureDetail_ += reason;
}

}  // namespace brenlow
