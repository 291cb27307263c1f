// CTeacherInfoImport: "导入老师信息", the teacher import dialog. The path is typed into edit 1011
// or chosen with ".  .  ." (1005); "确定" (1) imports that file and shows the result. The dialog
// stays open for further files and is closed with the close box. User-interface thread only.
#pragma once

#include <QDialog>
#include <string>

#include "data/store.h"

class QLineEdit;

namespace brenlow {

class CTeacherInfoImport : public QDialog {
  Q_OBJECT

 public:
  // Works on store.
  explicit CTeacherInfoImport(Store store, QWidget* parent = nullptr);

  void OnBrowse();
  void OnImportFile();
  // Inserts every teacher of the file whose number is not yet in tblThMes, in file order.
  // A file that cannot be read, is not GBK text or has a wrong header imports nothing, nor does
  // a failed query or insert (one transaction); each clears the result flag and adds to the
  // failure detail. Otherwise the detail says what was written and each line skipped.
  void ImportTeachers(const std::string& path);

 private:
  const Store store_;
  void fail(const std::string& reason);

  QLineEdit* path_;
  bool succeeded_ = true;      // the result flag of the current import
  std::string failureDetail_;  // why it failed, or what was done, for the message's details
};

}  // namespace brenlow
