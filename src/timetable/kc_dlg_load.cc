// Loading the editor: the class list, the teacher lists, the course grid and the period grid,
// and the two events that choose what they show (the user's choice of a class, the focus
// entering a course cell). Each load catches DatabaseError around its whole database work and
// ends quietly: the controls filled so far keep their new contents, the rest what they had.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QStringList>

#include "core/lenient_integer.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "timetable/auto_power_box.h"
#include "timetable/kc_dlg.h"
#include "timetable/kc_dlg_ids.h"
#include "timetable/teacher_list.h"

namespace brenlow {

using namespace kc_dlg_ids;

namespace {

QString FromStore(const std::string& text) {
  return QString::fromStdString(text);
}

const char* const kCourseColumns[5] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};

}  // namespace

bool CKcDlg::hasCurrentClass() const {
  return classList_->currentIndex() >= 0;
}

std::string CKcDlg::currentClass() const {
  return classList_->itemText(classList_->currentIndex()).toStdString();
}

std::string CKcDlg::currentWeekday() const {
  return periodGroup_->title().toStdString();
}

void CKcDlg::FillClassList() {
  classList_->clear();
  Database db = store_.database();
  db.open();
  try {
    RecordSet classes = db.query("select Name from tblbj Order by ID");
    while (!classes.isEof()) {
      classList_->addItem(FromStore(classes.fieldText("Name")));
      classes.moveNext();
    }
    classes.close();
  } catch (const DatabaseError&) {
    // The classes listed so far stay.
  }
  db.close();
  // A list that receives its first entry selects it by itself; here only the caller selects.
  classList_->setCurrentIndex(-1);
}

void CKcDlg::FillTeacherLists() {
  for (TeacherList* list : teacherLists_)
    list->removeAllEntries();
  QStringList teachers;
  Database db = store_.database();
  db.open();
  try {
    RecordSet rows = db.query("select NameNumb from tblThMes Order by ID");
    while (!rows.isEof()) {
      QString nameNumb = FromStore(rows.fieldText("NameNumb"));
      if (!nameNumb.isEmpty())
        teachers << nameNumb;
      rows.moveNext();
    }
    rows.close();
  } catch (const DatabaseError&) {
    // The teachers read so far are listed.
  }
  db.close();
  for (TeacherList* list : teacherLists_) {
    for (const QString& teacher : teachers)
      list->addEntry(teacher);
  }
}

void CKcDlg::LoadTimetable() {
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int day = 0; day < 5; ++day)
      edit(CourseCell(row, day))->clear();
    powerBox(AutoOnBox(row))->setStoredValue(0);
    powerBox(AutoOffBox(row))->setStoredValue(0);
  }
  if (!hasCurrentClass())
    return;
  std::string className = currentClass();
  std::string weekday = currentWeekday();

  Database db = store_.database();
  db.open();
  try {
    RecordSet courses =
        db.query(FormatStatement("select * from tblkc where BJName = '%s' Order by ID", className));
    for (int row = kFirstRow; row <= kLastRow && !courses.isEof(); ++row) {
      for (int day = 0; day < 5; ++day) {
        edit(CourseCell(row, day))->setText(FromStore(courses.fieldText(kCourseColumns[day])));
      }
      courses.moveNext();
    }
    courses.close();
    RecordSet periods = db.query(
        FormatStatement("select * from tblkcTime where BJName = '%s'and Week='%s' Order by ID",
                        className, weekday));
    fillPeriodRows(periods);
  } catch (const DatabaseError&) {
    // Ends quietly; see the top of this file.
  }
  db.close();
}

void CKcDlg::LoadPeriods() {
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    teacherLists_[row - 1]->clearChoice();
    powerBox(AutoOnBox(row))->setStoredValue(0);
    powerBox(AutoOffBox(row))->setStoredValue(0);
  }
  if (!hasCurrentClass()) {
    classList_->setFocus();
    return;
  }
  std::string className = currentClass();
  std::string weekday = currentWeekday();

  Database db = store_.database();
  db.open();
  try {
    RecordSet periods = db.query(
        FormatStatement("select * from tblkcTime where BJName = '%s'and Week='%s' Order by ID",
                        className, weekday));
    fillPeriodRows(periods);
  } catch (const DatabaseError&) {
    // Ends quietly; see the top of this file.
  }
  db.close();
}

void CKcDlg::fillPeriodRows(RecordSet& periods) {
  for (int row = kFirstRow; row <= kLastRow && !periods.isEof(); ++row) {
    fillPeriodRow(row, periods);
    periods.moveNext();
  }
  periods.close();
}

void CKcDlg::fillPeriodRow(int row, const RecordSet& period) {
  // Every value is read before the first control changes, so that an unreadable row is left
  // entirely as it was.
  QString startHour = FromStore(period.fieldText("StartH"));
  QString startMinute = FromStore(period.fieldText("StartM"));
  QString endHour = FromStore(period.fieldText("EndH"));
  QString endMinute = FromStore(period.fieldText("EndM"));
  int autoOn = LenientInteger(period.fieldText("AutoOn"));
  int autoOff = LenientInteger(period.fieldText("AutoOff"));
  QString teacher = FromStore(period.fieldText("ThName"));

  edit(StartHour(row))->setText(startHour);
  edit(StartMinute(row))->setText(startMinute);
  edit(EndHour(row))->setText(endHour);
  edit(EndMinute(row))->setText(endMinute);
  teacherLists_[row - 1]->selectByPrefix(teacher);
  powerBox(AutoOnBox(row))->setStoredValue(autoOn);
  powerBox(AutoOffBox(row))->setStoredValue(autoOff);
}

void CKcDlg::OnSelchangeClass() {
  if (classList_->count() > 0)
    LoadTimetable();
}

void CKcDlg::OnSetfocusCourse(int cellId) {
  periodGroup_->setTitle(QString::fromUtf8(kSchoolWeekdays[CourseCellDay(cellId)]));
  LoadPeriods();
}

}  // namespace brenlow
