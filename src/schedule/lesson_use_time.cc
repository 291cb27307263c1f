#include "schedule/lesson_use_time.h"

#include "controllers/command_log.h"
#include "core/lenient_integer.h"
#include "core/minutes_of_day.h"
#include "data/database.h"

namespace brenlow {

namespace {

// Adds minutes to the teacher's usage row of one class and day, making the row when there is
// none. The sum is taken by the store, so the row never loses a credit to a stale read.
void AddDayUseTime(Database& db, const std::string& number, const std::string& name,
                   const std::string& className, const std::string& dateDay) {
  RecordSet rows = db.query(FormatStatement(
      "select ID from tbl_teacher_usetime where teacher_Numb='%s' and class_Name='%s' and "
      "date_day='%s' Order by ID",
      number, className, dateDay));
  if (!rows.isValid())
    return;
  if (!rows.isEof()) {
    db.execute(FormatStatement("Update tbl_teacher_usetime set use_time=use_time+%d where ID=%s",
                               kLessonMinutes, RowId{rows.fieldText("ID")}));
    return;
  }
  db.execute(
      FormatStatement("Insert into tbl_teacher_usetime (teacher_Numb,teacher_Name,class_Name,"
                      "date_day,use_time) Values ('%s','%s','%s','%s',%d)",
                      number, name, className, dateDay, kLessonMinutes));
}

}  // namespace

void AddLessonUseTime(const Store& store, const PlannedPeriod& period, int nowMinutes,
                      const std::string& dateDay) {
  if (!period.held || !period.inUse ||
      nowMinutes != period.startMinutes() + kUseTimeCreditDelayMinutes)
    return;
  const std::string& className = period.className;
  const std::string& teacher = period.teacher;
  if (teacher.empty())
    return;
  Database db = store.database();
  db.open();
  try {
    RecordSet classes =
        db.query(FormatStatement("select * from tblbj where  Name='%s' Order by ID", className));
    if (classes.isEof() || classes.fieldText("Status") != "1")
      return;
    RecordSet teachers = db.query(
        FormatStatement("select * from tblThMes where  NameNumb='%s' Order by ID", teacher));
    if (teachers.isEof())
      return;
    const long long total =
        static_cast<long long>(LenientInteger(teachers.fieldText("UseTime"))) + kLessonMinutes;
    if (db.execute(FormatStatement("Update tblThMes set  UseTime='%s' where NameNumb='%s'",
                                   std::to_string(total), teacher))) {
      AddDayUseTime(db, teachers.fieldText("Numb"), teachers.fieldText("Name"), className, dateDay);
      std::string reason = PeriodStartReason(period.startHour, period.startMinute);
      if (teacher != period.timetabledTeacher)
        reason += " substitute for " + period.timetabledTeacher;
      LogCredit(className, teacher, kLessonMinutes, reason);
    }
  } catch (const DatabaseError&) {
    // A row that cannot be read credits nothing.
  }
  db.close();
}

}  // namespace brenlow
