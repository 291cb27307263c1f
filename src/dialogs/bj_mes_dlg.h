// CBJMesDlg: "班级信息", the class list dialog. Its list is the working copy of tblbj while it
// is open: loaded once when the dialog is made, changed by the dialog's own actions and never
// reloaded, so after a failed statement the list and the table may differ until the dialog is
// opened again. Closing it writes nothing. User-interface thread only; every database step
// opens its own Database.
#pragma once

#include <QDialog>

#include "data/store.h"

class QPoint;
class QTableWidget;

namespace brenlow {

class CBJMesDlg : public QDialog {
  Q_OBJECT

 public:
  // Works on store.
  explicit CBJMesDlg(Store store, QWidget* parent = nullptr);

  // Fills the list from tblbj in ID order (called once, by the constructor).
  void LoadClasses();
  // Runs the add dialog, then SaveNewClasses however it ended.
  void OnAdd();
  // Inserts every list row whose name (cut to 39 characters) is not in tblbj, each with its 35
  // period rows; stops at the first failed statement.
  void SaveNewClasses();
  // Deletes the first selected class with its course and period rows, after asking.
  void OnDelete();
  // Changes ZKIP, PCMacAddr and Pass of the first selected class.
  void OnModify();
  // The context menu of a right click on a row (position in the list's viewport).
  void OnListRightClick(const QPoint& position);

  QTableWidget& list() { return *list_; }

 private:
  const Store store_;
  QTableWidget* list_;
};

}  // namespace brenlow
