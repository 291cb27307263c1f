// The plan of the day: for a date and a class, which periods apply and why. Every part that
// acts on "what runs today" asks it, and nothing else reads tblkcTime to decide that: the
// scheduler (power-on, power-off, use-time credit), the card swipe rule and the room status
// rows (the status window and `brenlow-admin status`).
//
// The school calendar (calendar_records.h) decides the day:
// - no entry: Monday to Friday are school days with that weekday's periods; Saturday and
//   Sunday are the weekend, with none;
// - a whole-school make-up day ("follows") runs the followed weekday's periods, on whatever
//   day of the week it falls;
// - a day off (the school's or the class's own, which wins for that class) keeps the periods
//   that would apply, so that their power-offs are still sent and the teacher's card still
//   opens the room, but holds no lesson: nothing is powered on and nobody is credited.
// A one-day change of one period (day_changes.h) is carried out here too: a substitute becomes
// the period's teacher (whose card opens the room and who is credited), a cancelled period is
// not held. Times and flags stay as the timetable has them.
//
// Periods are the class's rows of the applying weekday in ID order, numbered from 1. Their
// times are read the way the scheduler always read them: leniently (" 8" and "08" are 8, a blank
// is 0), a row with an empty time text is not scheduled at all. Any thread; a DatabaseError
// from reading the store reaches the caller.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/calendar_date.h"
#include "data/database.h"
#include "records/day_changes.h"

namespace brenlow {

enum class DayKind { kSchool, kWeekend, kOff, kFollows };

struct DayReason {
  DayKind kind = DayKind::kWeekend;
  // The weekday whose periods apply ("星期一" ... "星期五"), empty when none do.
  std::string weekday;
  std::string note;  // the calendar entry's note; empty without one
};

struct PlannedPeriod {
  std::string className;
  std::string rowId;  // tblkcTime.ID
  int number = 0;     // position among the class's periods of the applying weekday, from 1
  // The teacher whose card opens the room during the period and who is credited for it: the
  // period's ThName as stored, or the substitute's NameNumb on a day of a substitute.
  std::string teacher;
  // The period's ThName as stored: the teacher the timetable names, absent on a substitute's day.
  std::string timetabledTeacher;
  // The date's one-day change of this period, if any.
  std::optional<ChangeKind> change;
  std::string changeNote;
  // The times read leniently (a blank reads 0).
  int startHour = 0;
  int startMinute = 0;
  int endHour = 0;
  int endMinute = 0;
  // No time text is empty: the scheduler acts at the start and end minutes. A row nobody filled
  // in holds an empty text; a period not in use holds blanks and is still scheduled (at 0:00).
  bool scheduled = false;
  // All four texts hold a time of day (none blank, hours 0-23, minutes 0-59): the period is
  // shown with its times, can run for a card swipe and is credited.
  bool inUse = false;
  bool autoOn = false;   // AutoOn reads 1
  bool autoOff = false;  // AutoOff reads 1
  // The lesson takes place: powered on at its start, its teacher credited. False on a day off
  // and for a cancelled period.
  bool held = false;

  long long startMinutes() const;  // since midnight; outside a day for absurd stored times
  long long endMinutes() const;
  // In use, and start <= minute < end: a period ending this minute no longer runs.
  bool runsAt(int minute) const;
};

struct DayPlan {
  DayReason reason;
  std::vector<PlannedPeriod> periods;  // ID order
};

// The plan of one class (by its exact name) on date.
DayPlan PlanOfTheDay(Database& db, const CalendarDate& date, const std::string& className);

// The plan of every class on date at once, for the parts that walk the whole school.
struct SchoolDayPlan {
  DayReason school;  // the day of a class without an entry of its own
  std::unordered_map<std::string, DayReason> classDays;  // classes with an entry of their own
  std::vector<PlannedPeriod> periods;                    // every class's, ID order

  const DayReason& reasonFor(const std::string& className) const;
};
SchoolDayPlan PlanOfTheSchoolDay(Database& db, const CalendarDate& date);

// The day of a class without an entry of its own (the calendar only; no periods are read).
DayReason SchoolDayOf(Database& db, const CalendarDate& date);

// The texts of a day: key "school", "weekend", "off", "follows"; for people "上课", "周末",
// "放假" or "放假：NOTE", "调休：按星期三".
const char* DayKindKey(DayKind kind);
std::string DayReasonText(const DayReason& reason);

}  // namespace brenlow
