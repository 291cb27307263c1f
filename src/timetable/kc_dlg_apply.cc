// Writing the grids back: "应用" updates the current weekday's seven periods of the current
// class, "保存" inserts or updates the class's seven course rows, each through the statements of
// records/class_timetable.h that brenlow-admin's period and course commands use too. Nothing is
// reloaded afterwards.
//
// There is no transaction: a statement that fails stops the operation at its row (the store's
// failure text has been shown) and the rows before it stay written. Fewer than seven stored rows
// end the operation at the first missing row through DatabaseError, quietly; in both cases no
// success message appears.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

#include "core/messages.h"
#include "data/database.h"
#include "records/class_timetable.h"
#include "timetable/auto_power_box.h"
#include "timetable/kc_dlg.h"
#include "timetable/kc_dlg_ids.h"
#include "timetable/teacher_list.h"

namespace brenlow {

using namespace kc_dlg_ids;

void CKcDlg::OnApply() {
  if (!hasCurrentClass()) {
    ShowMessage("请选择班级");
    return;
  }
  std::string className = currentClass();
  std::string weekday = currentWeekday();

  Database db = store_.database();
  db.open();
  try {
    RecordSet periods = QueryWeekdayPeriods(db, className, weekday);
    if (!periods.isValid()) {
      ShowMessage("保存失败!");
      return;
    }
    if (periods.isEof())
      return;  // the weekday has no periods: nothing to write, nothing said
    if (!applyPeriodRows(db, periods))
      return;
  } catch (const DatabaseError&) {
    return;  // fewer than seven periods: those there are were written
  }
  ShowMessage("保存成功!");
}

bool CKcDlg::applyPeriodRows(Database& db, RecordSet& periods) {
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    PeriodRow period;
    period.startH = text(StartHour(row));
    period.startM = text(StartMinute(row));
    period.endH = text(EndHour(row));
    period.endM = text(EndMinute(row));
    period.thName = teacherLists_[row - 1]->chosenText().toStdString();
    period.autoOn = powerBox(AutoOnBox(row))->storedValue();
    period.autoOff = powerBox(AutoOffBox(row))->storedValue();
    // Behind the last stored row this throws: the rows before it stay written.
    period.id = periods.fieldText("ID");
    if (!WritePeriod(db, period))
      return false;
    periods.moveNext();
  }
  return true;
}

void CKcDlg::OnSave() {
  if (!hasCurrentClass()) {
    ShowMessage("请选择班级");
    return;
  }
  std::string className = currentClass();

  Database db = store_.database();
  db.open();
  try {
    RecordSet courses = QueryCourseRows(db, className);
    if (!courses.isValid())
      return;
    // The first save creates the class's seven course rows in period order; later saves
    // update them by ID.
    bool written =
        courses.isEof() ? insertCourseRows(db, className) : updateCourseRows(db, courses);
    if (!written)
      return;
  } catch (const DatabaseError&) {
    return;  // fewer than seven course rows: those there are were written
  }
  db.close();
  ShowMessage("保存成功");
}

bool CKcDlg::insertCourseRows(Database& db, const std::string& className) {
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    if (!InsertCourseRow(db, className, courseTexts(row)))
      return false;
  }
  return true;
}

bool CKcDlg::updateCourseRows(Database& db, RecordSet& courseRows) {
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    std::array<std::string, 5> courses = courseTexts(row);
    if (!UpdateCourseRow(db, RowId{courseRows.fieldText("ID")}, courses))
      return false;
    courseRows.moveNext();
  }
  return true;
}

std::array<std::string, 5> CKcDlg::courseTexts(int row) const {
  std::array<std::string, 5> texts;
  for (int day = 0; day < 5; ++day)
    texts[day] = text(CourseCell(row, day));
  return texts;
}

}  // namespace brenlow
