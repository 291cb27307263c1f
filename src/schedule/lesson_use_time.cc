#include "schedule/lesson_use_time.h"

#include "core/lenient_integer.h"
#include "core/minutes_of_day.h"
#include "data/database.h"
#include "data/database_path.h"

namespace brenlow {

void AddLessonUseTime(const std::string& className, const std::string& weekday, int startHour,
                      int startMinute, int nowMinutes) {
  if (nowMinutes != MinutesOfDay(startHour, startMinute) + kUseTimeCreditDelayMinutes)
    return;
  Database db;
  db.setPath(DatabasePath());
  db.open();
  try {
    RecordSet classes =
        db.query(FormatStatement("select * from tblbj where  Name='%s' Order by ID", className));
    if (classes.isEof() || classes.fieldText("Status") != "1")
      return;
    RecordSet periods = db.query(FormatStatement(
        "select * from tblkcTime where  BJName='%s'and StartH='%s' and StartM='%s' and "
        "Week='%s' Order by ID",
        className, std::to_string(startHour), std::to_string(startMinute), weekday));
    if (periods.isEof())
      return;
    const std::string teacher = periods.fieldText("ThName");
    if (teacher.empty())
      return;
    RecordSet teachers = db.query(
        FormatStatement("select * from tblThMes where  NameNumb='%s' Order by ID", teacher));
    if (teachers.isEof())
      return;
    const long long total =
        static_cast<long long>(LenientInteger(teachers.fieldText("UseTime"))) + kLessonMinutes;
    db.execute(FormatStatement("Update tblThMes set  UseTime='%s' where NameNumb='%s'",
                               std::to_string(total), teacher));
  } catch (const DatabaseError&) {
    // A row that cannot be read credits nothing.
  }
  db.close();
}

}  // namespace brenlow
