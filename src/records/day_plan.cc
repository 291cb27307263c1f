#include "records/day_plan.h"

#include <optional>

#include "core/lenient_integer.h"
#include "core/minutes_of_day.h"
#include "core/weekdays.h"
#include "records/calendar_records.h"

namespace brenlow {
namespace {

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

bool IsClockTime(const std::string& hour, const std::string& minute) {
  if (Blank(hour) || Blank(minute))
    return false;
  const int h = LenientInteger(hour);
  const int m = LenientInteger(minute);
  return h >= 0 && h <= 23 && m >= 0 && m <= 59;
}

// The calendar's entries of one date: the whole school's and each class's own.
struct CalendarDay {
  std::optional<CalendarEntry> school;
  std::unordered_map<std::string, CalendarEntry> classes;
};

CalendarDay ReadCalendarDay(Database& db, const CalendarDate& date) {
  CalendarDay day;
  RecordSet rows = db.query(
      FormatStatement("select * from tbl_calendar where date_day='%s' Order by ID", date.text()));
  if (!rows.isValid())
    return day;  // an older file without the calendar table: no entries
  for (; !rows.isEof(); rows.moveNext()) {
    std::optional<CalendarKind> kind = CalendarKindFromText(rows.fieldText("kind"));
    if (!kind)
      continue;
    CalendarEntry entry{date, *kind, rows.fieldText("weekday"), rows.fieldText("class_Name"),
                        rows.fieldText("note")};
    if (entry.className.empty())
      day.school = std::move(entry);
    else
      day.classes[entry.className] = std::move(entry);
  }
  return day;
}

DayReason SchoolReason(const CalendarDate& date, const std::optional<CalendarEntry>& entry) {
  const char* ownWeekday = SchoolWeekdayText(date.weekday());
  DayReason reason;
  reason.weekday = ownWeekday != nullptr ? ownWeekday : "";
  reason.kind = ownWeekday != nullptr ? DayKind::kSchool : DayKind::kWeekend;
  if (!entry)
    return reason;
  if (entry->kind == CalendarKind::kOff) {
    reason.kind = DayKind::kOff;
    reason.note = entry->note;
    return reason;
  }
  // A make-up day whose weekday is no school day (written by hand) is left out.
  if (std::optional<std::string> followed = SchoolWeekdayFromText(entry->weekday)) {
    reason = DayReason{DayKind::kFollows, *followed, entry->note};
  }
  return reason;
}

// A class's own day off wins over the school's day; it keeps the periods that would apply
// (a make-up day's too), whose power-offs are still sent. A class's own make-up day is no entry
// the calendar accepts and is left out.
DayReason ClassReason(const DayReason& school, const CalendarEntry& entry) {
  if (entry.kind != CalendarKind::kOff)
    return school;
  return DayReason{DayKind::kOff, school.weekday, entry.note};
}

bool HoldsLessons(const DayReason& reason) {
  return reason.kind == DayKind::kSchool || reason.kind == DayKind::kFollows;
}

PlannedPeriod ReadPeriod(const RecordSet& row) {
  PlannedPeriod period;
  period.className = row.fieldText("BJName");
  period.rowId = row.fieldText("ID");
  period.teacher = row.fieldText("ThName");
  period.timetabledTeacher = period.teacher;
  const std::string startH = row.fieldText("StartH");
  const std::string startM = row.fieldText("StartM");
  const std::string endH = row.fieldText("EndH");
  const std::string endM = row.fieldText("EndM");
  period.startHour = LenientInteger(startH);
  period.startMinute = LenientInteger(startM);
  period.endHour = LenientInteger(endH);
  period.endMinute = LenientInteger(endM);
  period.scheduled = !startH.empty() && !startM.empty() && !endH.empty() && !endM.empty();
  period.inUse = IsClockTime(startH, startM) && IsClockTime(endH, endM);
  period.autoOn = LenientInteger(row.fieldText("AutoOn")) == 1;
  period.autoOff = LenientInteger(row.fieldText("AutoOff")) == 1;
  return period;
}

// Carries out the date's one-day changes on the periods they name.
void ApplyDayChanges(Database& db, const CalendarDate& date, std::vector<PlannedPeriod>& periods) {
  std::vector<DayChange> changes = ListDayChanges(db, date, date);
  if (changes.empty())
    return;
  // By class and period; a class name holds no NUL.
  const auto key = [](const std::string& className, int number) {
    return className + '\0' + std::to_string(number);
  };
  std::unordered_map<std::string, const DayChange*> byPeriod;
  for (const DayChange& change : changes)
    byPeriod[key(change.className, change.period)] = &change;
  for (PlannedPeriod& period : periods) {
    auto found = byPeriod.find(key(period.className, period.number));
    if (found == byPeriod.end())
      continue;
    const DayChange& change = *found->second;
    period.change = change.kind;
    period.changeNote = change.note;
    if (change.kind == ChangeKind::kCancelled)
      period.held = false;
    else if (!change.teacher.empty())
      period.teacher = change.teacher;
  }
}

// The plan of every class, or of the one named by onlyClass.
SchoolDayPlan ReadPlan(Database& db, const CalendarDate& date, const std::string* onlyClass) {
  const CalendarDay calendar = ReadCalendarDay(db, date);
  SchoolDayPlan plan;
  plan.school = SchoolReason(date, calendar.school);
  for (const auto& [className, entry] : calendar.classes) {
    if (onlyClass == nullptr || *onlyClass == className)
      plan.classDays.emplace(className, ClassReason(plan.school, entry));
  }
  if (plan.school.weekday.empty())
    return plan;
  RecordSet rows =
      onlyClass != nullptr
          ? db.query(FormatStatement(
                "select * from tblkcTime where BJName='%s' and Week='%s' Order by ID", *onlyClass,
                plan.school.weekday))
          : db.query(FormatStatement("select * from tblkcTime where  Week='%s' Order by ID",
                                     plan.school.weekday));
  std::unordered_map<std::string, int> counts;
  for (; !rows.isEof(); rows.moveNext()) {
    PlannedPeriod period = ReadPeriod(rows);
    period.number = ++counts[period.className];
    period.held = HoldsLessons(plan.reasonFor(period.className));
    plan.periods.push_back(std::move(period));
  }
  ApplyDayChanges(db, date, plan.periods);
  return plan;
}

}  // namespace

long long PlannedPeriod::startMinutes() const {
  return MinutesOfDay(startHour, startMinute);
}

long long PlannedPeriod::endMinutes() const {
  return MinutesOfDay(endHour, endMinute);
}

bool PlannedPeriod::runsAt(int minute) const {
  return inUse && startMinutes() <= minute && minute < endMinutes();
}

const DayReason& SchoolDayPlan::reasonFor(const std::string& className) const {
  auto found = classDays.find(className);
  return found != classDays.end() ? found->second : school;
}

DayPlan PlanOfTheDay(Database& db, const CalendarDate& date, const std::string& className) {
  SchoolDayPlan plan = ReadPlan(db, date, &className);
  return DayPlan{plan.reasonFor(className), std::move(plan.periods)};
}

SchoolDayPlan PlanOfTheSchoolDay(Database& db, const CalendarDate& date) {
  return ReadPlan(db, date, nullptr);
}

DayReason SchoolDayOf(Database& db, const CalendarDate& date) {
  return SchoolReason(date, ReadCalendarDay(db, date).school);
}

const char* DayKindKey(DayKind kind) {
  switch (kind) {
    case DayKind::kSchool:
      return "school";
    case DayKind::kWeekend:
      return "weekend";
    case DayKind::kOff:
      return "off";
    case DayKind::kFollows:
      break;
  }
  return "follows";
}

std::string DayReasonText(const DayReason& reason) {
  switch (reason.kind) {
    case DayKind::kSchool:
      return "上课";
    case DayKind::kWeekend:
      return "周末";
    case DayKind::kOff:
      return reason.note.empty() ? "放假" : "放假：" + reason.note;
    case DayKind::kFollows:
      break;
  }
  return "调休：按" + reason.weekday;
}

}  // namespace brenlow
