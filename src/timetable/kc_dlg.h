// CKcDlg: the main window "课程表", the timetable editor. For one class at a time it shows the
// course grid (seven periods by five weekdays) and the period grid of one weekday.
//
// The application shell owns the window's lifecycle (tray icon, worker threads, minute timer)
// and wires the buttons that open the other dialogs through the setters below, so that this
// library needs none of them. Every method runs on the user-interface thread.
#pragma once

#include <QDialog>
#include <functional>

namespace brenlow {

class CKcDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CKcDlg(QWidget* parent = nullptr);

  // Start-up steps that run before the first load, also in the headless server.
  // Every class's Status becomes 0.
  static void ResetClassStatus();
  // When tblkcTime holds no row at all, every class receives its 35 blank periods.
  static void CreateDefaultPeriods();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace brenlow
