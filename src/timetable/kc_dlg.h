// CKcDlg: the main window "课程表", the timetable editor. For one class at a time it shows the
// course grid (seven periods by five weekdays) and the period grid of one weekday.
//
// The editor keeps no copy of the data: the current class is the selected entry of the class
// list, the current weekday is the caption of the period group box, and the values being edited
// are the contents of the controls until "应用" or "保存" writes them back.
//
// Every control that has a number carries it as its objectName; the grid cells are addressed by
// fixed sums (start hour 6000+r, course cell of Monday 6028+r, ..., teacher list 5000+r).
//
// The application shell owns the window's lifecycle (tray icon, worker threads, minute timer)
// and hands in the dialogs that the buttons open through the runner setters below, so that this
// library needs none of them. Every method runs on the user-interface thread.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>

#include "data/store.h"

class QComboBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;

namespace brenlow {

class AutoPowerBox;
class Database;
class RecordSet;
class TeacherList;

class CKcDlg : public QDialog {
  Q_OBJECT

 public:
  // Runs another modal dialog with this window as parent and returns when it has closed.
  using DialogRunner = std::function<void(QWidget* parent)>;

  // Edits the timetable in store.
  explicit CKcDlg(Store store, QWidget* parent = nullptr);
  ~CKcDlg() override;

  // The dialogs behind the buttons. A button whose runner is not set does nothing.
  // "...": the class list; afterwards the class list is refilled and the class shown before
  // stays selected, or, when it is gone, the first class is selected and both grids show it.
  void setClassListRunner(DialogRunner runner);
  // "老师": the teacher list, with teacherDialogOpen 1 until the teacher lists are refilled;
  // then each row chooses again the teacher it had chosen (under a renamed teacher's new text).
  void setTeacherListRunner(DialogRunner runner);
  // "导入课程表": the timetable import; afterwards both grids are reloaded.
  void setImportRunner(DialogRunner runner);
  // "修改密码": the change of credentials; nothing else happens.
  void setPasswordRunner(DialogRunner runner);
  // "教室状态": shows the rooms' status window, which stays open beside this one (the runner
  // returns at once).
  void setRoomStatusRunner(DialogRunner runner);
  // "校历": shows the school calendar's window, which stays open beside this one (the runner
  // returns at once).
  void setCalendarRunner(DialogRunner runner);

  // Refills the class list with every class in ID order; afterwards nothing is selected.
  void FillClassList();
  // Refills the seven teacher lists with every non-empty NameNumb, sorted; no selection.
  void FillTeacherLists();
  // Selects the first class, as code does: no selection change is reported.
  void selectFirstClass();
  // Clears the course grid and the power boxes, then loads the course rows of the current
  // class and its periods of the current weekday. A DatabaseError ends it quietly.
  void LoadTimetable();
  // Loads the periods of the current class and weekday into the period grid.
  void LoadPeriods();

  // The user picked an entry of the class list: both grids reload.
  void OnSelchangeClass();
  // Course cell `cellId` (6029 to 6063) gained the focus: its column's weekday becomes current
  // and the period grid reloads.
  void OnSetfocusCourse(int cellId);
  // "应用": the period grid is written to the current weekday's periods of the current class.
  void OnApply();
  // "保存": the course grid is written to the current class's course rows.
  void OnSave();
  void OnClassList();
  void OnTeachers();
  void OnImportTimetable();
  void OnChangePassword();
  void OnRoomStatus();
  void OnCalendar();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Builds every control of the window and lays them out (kc_dlg_layout.cc).
  void buildEditingSurface();
  QLayout* buildTopLine();
  QGroupBox* buildPeriodGroup();
  QGroupBox* buildCourseGroup();
  QLayout* buildApplyLine();
  QLayout* buildSaveLine();
  QPushButton* addButton(const QString& caption, int id, void (CKcDlg::*handler)());
  void chainTabOrder();

  // The control with number `id`, or nullptr.
  QWidget* item(int id) const;
  QLineEdit* edit(int id) const;
  AutoPowerBox* powerBox(int id) const;

  // Loading (kc_dlg_load.cc).
  bool hasCurrentClass() const;
  std::string currentClass() const;
  std::string currentWeekday() const;
  void fillPeriodRows(RecordSet& periods);
  void fillPeriodRow(int row, const RecordSet& period);

  // Writing back (kc_dlg_apply.cc).
  bool applyPeriodRows(Database& db, RecordSet& periods);
  bool insertCourseRows(Database& db, const std::string& className);
  bool updateCourseRows(Database& db, RecordSet& courses);
  std::array<std::string, 5> courseTexts(int row) const;
  std::string text(int id) const;

  const Store store_;
  QComboBox* classList_ = nullptr;              // 1026
  std::array<TeacherList*, 7> teacherLists_{};  // 5001 to 5007, in row order
  QGroupBox* periodGroup_ = nullptr;            // 1109: its caption is the current weekday

  DialogRunner classListRunner_;
  DialogRunner teacherListRunner_;
  DialogRunner importRunner_;
  DialogRunner passwordRunner_;
  DialogRunner roomStatusRunner_;
  DialogRunner calendarRunner_;
};

}  // namespace brenlow
