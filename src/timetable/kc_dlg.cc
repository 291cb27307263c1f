#include "timetable/kc_dlg.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <map>
#include <optional>

#include "core/shared_state.h"
#include "data/database.h"
#include "timetable/auto_power_box.h"
#include "timetable/kc_dlg_ids.h"
#include "timetable/teacher_list.h"

namespace brenlow {

using namespace kc_dlg_ids;

namespace {

// Every teacher's NameNumb by ID; empty when the store cannot be read (no message: the
// teacher lists report their own reading).
std::map<std::string, std::string> TeacherTextsById(const Store& store) {
  std::map<std::string, std::string> texts;
  Database db = store.database();
  try {
    RecordSet rows = db.query("select ID, NameNumb from tblThMes Order by ID");
    while (!rows.isEof()) {
      texts[rows.fieldText("ID")] = rows.fieldText("NameNumb");
      rows.moveNext();
    }
  } catch (const DatabaseError&) {
    // What was read so far.
  }
  return texts;
}

}  // namespace

CKcDlg::CKcDlg(Store store, QWidget* parent) : QDialog(parent), store_(std::move(store)) {
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
  // "应用" and "保存" write into the selected class, so the selection must stay the class the
  // grids show: that class stays selected while it exists; otherwise the first class is
  // selected and both grids show it.
  std::optional<QString> shown;
  if (hasCurrentClass())
    shown = classList_->currentText();
  classListRunner_(this);
  FillClassList();
  int again = shown ? classList_->findText(*shown, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
  if (again >= 0) {
    classList_->setCurrentIndex(again);
    return;
  }
  selectFirstClass();
  LoadTimetable();
}

void CKcDlg::OnTeachers() {
  if (!teacherListRunner_)
    return;
  // Refilling the lists drops every row's choice, and "应用" would then write an empty teacher
  // into the periods. Each row chooses again what it had, under its new text when the dialog
  // renamed the teacher (a teacher keeps its ID).
  std::array<QString, 7> chosen;
  for (int row = kFirstRow; row <= kLastRow; ++row)
    chosen[row - 1] = teacherLists_[row - 1]->chosenText();
  std::map<std::string, std::string> before = TeacherTextsById(store_);

  // While the flag is 1 the controller listener forwards swiped card numbers to the dialog.
  teacherDialogOpen = 1;
  teacherListRunner_(this);
  FillTeacherLists();
  teacherDialogOpen = 0;

  std::map<std::string, std::string> after = TeacherTextsById(store_);
  std::map<QString, QString> renamed;
  for (const auto& [id, text] : before) {
    auto now = after.find(id);
    if (now != after.end() && now->second != text)
      renamed[QString::fromStdString(text)] = QString::fromStdString(now->second);
  }
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    QString wanted = chosen[row - 1];
    if (wanted.isEmpty())
      continue;
    if (auto rename = renamed.find(wanted); rename != renamed.end())
      wanted = rename->second;
    TeacherList* list = teacherLists_[row - 1];
    int index = list->findText(wanted, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
      list->setCurrentIndex(index);
  }
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

void CKcDlg::setCalendarRunner(DialogRunner runner) {
  calendarRunner_ = std::move(runner);
}

void CKcDlg::OnRoomStatus() {
  if (roomStatusRunner_)
    roomStatusRunner_(this);
}

void CKcDlg::OnCalendar() {
  if (calendarRunner_)
    calendarRunner_(this);
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
