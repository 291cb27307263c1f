#include "dialogs/kc_import_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "dialogs/csv_file_dialog.h"

namespace brenlow {
namespace {

QPushButton* AddButton(QDialog& dialog, const QString& caption, const char* id) {
  auto* button = new QPushButton(caption, &dialog);
  button->setObjectName(id);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

CKCImportDlg::CKCImportDlg(Store store, QWidget* parent)
    : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("课程表导入"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);

  auto* timeLabel = new QLabel(QStringLiteral("时间表："), this);
  timeLabel->setObjectName("1119");
  timeTablePath_ = new QLineEdit(this);
  timeTablePath_->setObjectName("1055");
  timeLabel->setBuddy(timeTablePath_);
  QPushButton* browseTime = AddButton(*this, QStringLiteral("..."), "1030");
  browseTime->setAccessibleName(QStringLiteral("选择时间表文件"));

  auto* courseLabel = new QLabel(QStringLiteral("课程表："), this);
  courseLabel->setObjectName("1114");
  courseTablePath_ = new QLineEdit(this);
  courseTablePath_->setObjectName("1077");
  courseLabel->setBuddy(courseTablePath_);
  QPushButton* browseCourse = AddButton(*this, QStringLiteral("..."), "1031");
  browseCourse->setAccessibleName(QStringLiteral("选择课程表文件"));

  importButton_ = AddButton(*this, QStringLiteral("导入"), "1");
  importButton_->setDefault(true);
  QPushButton* close = AddButton(*this, QStringLiteral("关闭"), "2");

  auto* paths = new QGridLayout;
  paths->addWidget(timeLabel, 0, 0);
  paths->addWidget(timeTablePath_, 0, 1);
  paths->addWidget(browseTime, 0, 2);
  paths->addWidget(courseLabel, 1, 0);
  paths->addWidget(courseTablePath_, 1, 1);
  paths->addWidget(browseCourse, 1, 2);
  paths->setColumnMinimumWidth(1, 320);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(importButton_);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(paths);
  layout->addLayout(buttons);

  connect(browseTime, &QPushButton::clicked, this, &CKCImportDlg::OnBrowseTimeTable);
  connect(browseCourse, &QPushButton::clicked, this, &CKCImportDlg::OnBrowseCourseTable);
  connect(importButton_, &QPushButton::clicked, this, &CKCImportDlg::OnImport);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CKCImportDlg::OnBrowseTimeTable() {
  browse(timeTablePath_);
}

void CKCImportDlg::OnBrowseCourseTable() {
  browse(courseTablePath_);
}

void CKCImportDlg::browse(QLineEdit* pathEdit) {
  // Cancelling leaves the field as it was.
  if (std::optional<QString> path = ChooseCsvFile(this))
    pathEdit->setText(*path);
}

void CKCImportDlg::OnImport() {
  std::string courseTable = courseTablePath_->text().toStdString();
  std::string timeTable = timeTablePath_->text().toStdString();
  if (courseTable.empty() || timeTable.empty())
    return;

  importButton_->setEnabled(false);
  const TimetablePairResult result = ImportTimetableFiles(store_, timeTable, courseTable, false);
  takeResult(result.times);
  takeResult(result.courses);
  importButton_->setEnabled(true);
  timeTablePath_->clear();
  courseTablePath_->clear();

  std::string details;
  for (const std::string& line : TimetableSummary(result, false))
    details += (details.empty() ? "" : "\n") + line;
  if (m_bImportOk && result.written) {
    Message done("导入成功!");
    done.detail = details;
    ShowMessage(done);
  } else {
    m_bImportOk = true;
    Message failed("导入失败!");
    failed.detail = details;
    ShowMessage(failed);
  }
}

void CKCImportDlg::takeResult(const TimetableImportResult& result) {
  if (result.status == TimetableImportResult::Status::kFileError) {
    Message message("文件错误!");
    message.detail = result.detail;
    ShowMessage(message);
  }
  if (!result.ok())
    m_bImportOk = false;
}

}  // namespace brenlow
