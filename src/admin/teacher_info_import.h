// CTeacherInfoImport: "导入老师信息", the teacher import dialog. The path is typed into edit 1011
// or chosen with ".  .  ." (1005); "确定" (1) imports that file and shows the result. The dialog
// stays open for further files and is closed with the close box. User-interface thread only.
#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace brenlow {

class CTeacherInfoImport : public QDialog {
  Q_OBJECT

 public:
  explicit CTeacherInfoImport(QWidget* parent = nullptr);

  void OnBrowse();
  void OnImportFile();
  // Inserts every teacher of the file whose number is not yet in tblThMes, in file order.
  // A file that cannot be read, is not GBK text or has a wrong header imports nothing; a failed
  // query or insert ends the import (teachers inserted before stay); lines with a field too
  // long are left out. Each of these clears the result flag and adds to the failure detail.
  void ImportTeachers(const std::string& path);

 private:
  void fail(const std::string& reason);

  QLineEdit* path_;
  bool succeeded_ = true;      // the result flag of the current import
  std::string failureDetail_;  // why it failed, for the message's detail text
};

}  // namespace brenlow
