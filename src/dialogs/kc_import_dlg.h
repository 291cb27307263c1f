// CKCImportDlg: the dialog "课程表导入". It fills the timetable from two CSV files: the time
// table sets the start and end times of periods 1 to 7 for every class and every weekday, the
// course table sets the course names of the classes it names (creating their seven course rows
// when they have none). It never creates classes or periods.
//
// "导入" runs both imports as one (both files written or neither) and says "导入成功!" or
// "导入失败!", the message's details saying what was written and each line skipped; the dialog
// stays open for more imports until "关闭". A faulty file is refused ("文件错误!"; the message's
// detail names the line), and then neither file is written. Every method runs on the
// user-interface thread.
#pragma once

#include <QDialog>
#include <string>

#include "data/store.h"
#include "records/timetable_import.h"

class QLineEdit;
class QPushButton;

namespace brenlow {

class CKCImportDlg : public QDialog {
  Q_OBJECT

 public:
  // Works on store.
  explicit CKCImportDlg(Store store, QWidget* parent = nullptr);

  // Button 1030: chooses the time-table file into 1055.
  void OnBrowseTimeTable();
  // Button 1031: chooses the course-table file into 1077.
  void OnBrowseCourseTable();
  // Button "导入" (and Enter): both imports when both paths are given, then the result message;
  // both path fields are emptied.
  void OnImport();

 private:
  const Store store_;
  void browse(QLineEdit* pathEdit);
  // Shows "文件错误!" for a refused file and clears m_bImportOk on any failure.
  void takeResult(const TimetableImportResult& result);

  QLineEdit* timeTablePath_ = nullptr;    // 1055
  QLineEdit* courseTablePath_ = nullptr;  // 1077
  QPushButton* importButton_ = nullptr;   // 1
  // True from creation; cleared by any failure of an import; read after each run of both to
  // choose the message, and set again after "导入失败!".
  bool m_bImportOk = true;
};

}  // namespace brenlow
