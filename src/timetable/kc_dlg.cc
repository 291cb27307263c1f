#include "timetable/kc_dlg.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/shared_state.h"
#include "timetable/auto_power_box.h"
#include "timetable/kc_dlg_ids.h"

namespace brenlow {

using namespace kc_dlg_ids;

CKcDlg::CKcDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("课程表"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  buildEditingSurface();
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int day = 0; day < 5; ++day)
      item(CourseCell(row, day))->installEventFilter(this);
  }
  // The window opens with the keyboard on the class list, so no weekday switch has happened.
  classList_->setFocus();
}

CKcDlg::~CKcDlg() = default;

void CKcDlg::setClassListRunner(DialogRunner runner) {
  classListRunner_ = std::move(runner);
}
void CKcDlg::setTeacherListRunner(DialogRunner runner) {
  teacherListRunner_ = std::move(runner);
}
void CKcDlg::setImportRunner(DialogRunner runner) {
  importRunner_ = std::move(runner);
}
void CKcDlg::setPasswordRunner(DialogRunner runner) {
  passwordRunner_ = std::move(runner);
}

void CKcDlg::OnClassList() {
  if (!classListRunner_)
    return;
  classListRunner_(this);
  FillClassList();
  // The grids keep showing the class they showed until the user picks one.
  selectFirstClass();
}

void CKcDlg::OnTeachers() {
  if (!teacherListRunner_)
    return;
  // While the flag is 1 the controller listener forwards swiped card numbers to the dialog.
  teacherDialogOpen = 1;
  teacherListRunner_(this);
  FillTeacherLists();
  teacherDialogOpen = 0;
}

void CKcDlg::OnImportTimetable() {
  if (!importRunner_)
    return;
  importRunner_(this);
  LoadTimetable();
}

void CKcDlg::OnChangePassword() {
  if (passwordRunner_)
    passwordRunner_(this);
}

void CKcDlg::setRoomStatusRunner(DialogRunner runner) {
  roomStatusRunner_ = std::move(runner);
}

void CKcDlg::OnRoomStatus() {
  if (roomStatusRunner_)
    roomStatusRunner_(this);
}

void CKcDlg::selectFirstClass() {
  if (classList_->count() > 0)
    classList_->setCurrentIndex(0);
}

void CKcDlg::keyPressEvent(QKeyEvent* event) {
  // The window has no default button: Enter ends it like Escape and the close box.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool CKcDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    // A click or the keyboard switches the weekday. Focus that merely comes back (the window
    // is activated again, a message box or popup closed) does not: a message box raised by the
    // reload would otherwise hand the focus back and reload again, without end.
    Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      bool isNumber = false;
      int id = watched->objectName().toInt(&isNumber);
      if (isNumber && id >= kFirstCourseCell && id <= kLastCourseCell)
        OnSetfocusCourse(id);
    }
  }
  return QDialog::eventFilter(watched, event);
}

QWidget* CKcDlg::item(int id) const {
  return findChild<QWidget*>(QString::number(id));
}

QLineEdit* CKcDlg::edit(int id) const {
  return qobject_cast<QLineEdit*>(item(id));
}

AutoPowerBox* CKcDlg::powerBox(int id) const {
  return qobject_cast<AutoPowerBox*>(item(id));
}

std::string CKcDlg::text(int id) const {
  return edit(id)->text().toStdString();
}

}  // namespace brenlow
