#include "records/class_timetable.h"

#include "core/lenient_integer.h"
#include "core/weekdays.h"
#include "core/whole_number.h"

namespace brenlow {
namespace {

constexpr std::array<const char*, 5> kCourseColumns = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                                       "Friday"};

}  // namespace

std::optional<ClassTimetable> ReadClassTimetable(Database& db, const std::string& className) {
  ClassTimetable timetable;
  RecordSet courses = QueryCourseRows(db, className);
  RecordSet periods = db.query(
      FormatStatement("select * from tblkcTime where BJName = '%s' Order by ID", className));
  if (!courses.isValid() || !periods.isValid())
    return std::nullopt;
  try {
    for (; !courses.isEof() && timetable.courses.size() < kPeriodsPerDay; courses.moveNext()) {
      std::array<std::string, 5>& row = timetable.courses.emplace_back();
      for (size_t day = 0; day < row.size(); ++day)
        row[day] = courses.fieldText(kCourseColumns[day]);
    }
    for (; !periods.isEof(); periods.moveNext()) {
      const std::string week = periods.fieldText("Week");
      for (size_t day = 0; day < kSchoolWeekdays.size(); ++day) {
        std::vector<PeriodRow>& rows = timetable.periods[day];
        if (week != kSchoolWeekdays[day] || rows.size() == kPeriodsPerDay)
          continue;
        rows.push_back(PeriodRow{periods.fieldText("ID"), periods.fieldText("StartH"),
                                 periods.fieldText("StartM"), periods.fieldText("EndH"),
                                 periods.fieldText("EndM"), periods.fieldText("ThName"),
                                 LenientInteger(periods.fieldText("AutoOn")),
                                 LenientInteger(periods.fieldText("AutoOff"))});
      }
    }
  } catch (const DatabaseError&) {
    return std::nullopt;
  }
  return timetable;
}

RecordSet QueryWeekdayPeriods(Database& db, const std::string& className,
                              const std::string& weekday) {
  return db.query(FormatStatement(
      "select * from tblkcTime where BJName = '%s' and Week='%s' Order by ID", className, weekday));
}

RecordSet QueryCourseRows(Database& db, const std::string& className) {
  return db.query(
      FormatStatement("select * from tblkc where BJName = '%s'  Order by ID", className));
}

Status InsertCourseRow(Database& db, const std::string& className,
                       const std::array<std::string, 5>& names) {
  return db.execute(
      FormatStatement("Insert into tblkc (BJName, Monday, Tuesday, Wednesday, "
                      "Thursday, Friday) Values ('%s', '%s', '%s', '%s', '%s', '%s')",
                      className, names[0], names[1], names[2], names[3], names[4]));
}

Status UpdateCourseRow(Database& db, const RowId& id, const std::array<std::string, 5>& names) {
  return db.execute(FormatStatement(
      "Update tblkc set  Monday='%s', Tuesday='%s', Wednesday='%s', Thursday='%s',Friday='%s' "
      "where ID=%s",
      names[0], names[1], names[2], names[3], names[4], id));
}

Status WritePeriod(Database& db, const PeriodRow& period) {
  return db.execute(FormatStatement(
      "Update tblkcTime set  StartH='%s', StartM='%s', EndH='%s', EndM='%s',AutoOn=%d,AutoOff=%d "
      ",ThName='%s' where ID=%s",
      period.startH, period.startM, period.endH, period.endM, period.autoOn, period.autoOff,
      period.thName, RowId{period.id}));
}

bool WriteCourse(Database& db, const std::string& className, int weekday, int row,
                 const std::string& name) {
  RecordSet courses = QueryCourseRows(db, className);
  if (!courses.isValid())
    return false;
  if (courses.isEof()) {
    for (int created = 0; created < kPeriodsPerDay; ++created) {
      if (!InsertCourseRow(db, className, {" ", " ", " ", " ", " "}))
        return false;
    }
    courses = QueryCourseRows(db, className);
  }
  try {
    std::array<std::string, 5> cells;
    for (int position = 0; position < row && !courses.isEof(); ++position)
      courses.moveNext();
    if (courses.isEof())
      return false;
    for (size_t day = 0; day < cells.size(); ++day)
      cells[day] = courses.fieldText(kCourseColumns[day]);
    cells[static_cast<size_t>(weekday)] = name;
    return UpdateCourseRow(db, RowId{courses.fieldText("ID")}, cells).ok();
  } catch (const DatabaseError&) {
    return false;
  }
}

std::optional<int> PeriodTime(const std::string& hour, const std::string& minute) {
  std::optional<int> h = WholeNumber(hour);
  std::optional<int> m = WholeNumber(minute);
  if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59)
    return std::nullopt;
  return *h * 60 + *m;
}

}  // namespace brenlow
