// CAddThMesDlg: "添加数据", the teacher add dialog. Each "确定" checks number and name and appends
// one row to the teacher list dialog's list; the dialog stays open for further teachers and
// ends with "取消" or the close box. It writes nothing to the store: the teacher list dialog
// saves the new rows when it ends. User-interface thread only.
#pragma once

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace brenlow {

class CAddThMesDlg : public QDialog {
  Q_OBJECT

 public:
  // list: the teacher list dialog's list; not owned, outlives this dialog.
  CAddThMesDlg(QTableWidget& list, QWidget* parent = nullptr);

  void OnAddTeacher();

 private:
  QTableWidget& list_;
  QLineEdit* number_;
  QLineEdit* name_;
};

}  // namespace brenlow
