// CAddDlg: "添加数据", the class add dialog. Each "确定" checks the four texts and appends one
// row to the class list dialog's list; the dialog stays open for further classes and ends only
// with "取消" or the close box. It writes nothing to the store: the class list dialog saves the
// new rows when it ends. User-interface thread only.
#pragma once

#include <QDialog>

class QLineEdit;
class QTableWidget;

namespace brenlow {

class CAddDlg : public QDialog {
  Q_OBJECT

 public:
  // list: the class list dialog's list; not owned, outlives this dialog.
  CAddDlg(QTableWidget& list, QWidget* parent = nullptr);

  void OnAddClass();

 private:
  QTableWidget& list_;
  QLineEdit* name_;
  QLineEdit* zkip_;
  QLineEdit* pcMac_;
  QLineEdit* pass_;
};

}  // namespace brenlow
