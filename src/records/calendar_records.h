// The school calendar (tbl_calendar): days off for the whole school or for one class, and
// make-up days on which the whole school runs another weekday's periods. One entry per date and
// class (the empty class name: the whole school); writing one again replaces it. brenlow-admin
// and the calendar window write and read entries through these functions; the plan of the day
// (day_plan.h) reads them.
//
// A database whose calendar table is missing (an older file opened read-only) reads as one
// without entries. Any thread; a DatabaseError from reading the table reaches the caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/calendar_date.h"
#include "data/database.h"

namespace brenlow {

enum class CalendarKind {
  kOff,      // 放假: nothing is powered on or credited, power-offs and card swipes still work
  kFollows,  // 调休上课: the periods of `weekday` apply (whole school only)
};

struct CalendarEntry {
  CalendarDate date;
  CalendarKind kind = CalendarKind::kOff;
  std::string weekday;    // kFollows: "星期一" ... "星期五"; kOff: empty
  std::string className;  // empty: the whole school
  std::string note;
};

// The most days one range of dates may cover, both ends included.
inline constexpr int kMaxCalendarRangeDays = 366;

const char* CalendarKindKey(CalendarKind kind);   // "off", "follows"
const char* CalendarKindText(CalendarKind kind);  // "放假", "调休"
// "off" or "follows" (any case), "放假" or "调休"; nullopt otherwise.
std::optional<CalendarKind> CalendarKindFromText(std::string_view text);
// A school weekday, as "星期一" ... "星期五", from that text, a digit 1-5 or an English name
// (monday ... friday, any case); nullopt for anything else (also Saturday and Sunday).
std::optional<std::string> SchoolWeekdayFromText(std::string_view text);

// Every date from first to last, both included; nullopt when last is before first or the range
// covers more than kMaxCalendarRangeDays days.
std::optional<std::vector<CalendarDate>> DatesFromTo(const CalendarDate& first,
                                                     const CalendarDate& last);

// Why the entry cannot be written, or empty when it can: "no such class: NAME", "a make-up day
// follows 星期一 to 星期五, not: TEXT", "a make-up day is for the whole school, not one class".
std::string CalendarEntryRefusal(Database& db, const CalendarEntry& entry);

// Writes every entry, each replacing the entry of its date and class, in one transaction: all
// or nothing. The entries are not checked here (CalendarEntryRefusal does that). A failure has
// been shown through the message interface.
bool AddCalendarEntries(Database& db, const std::vector<CalendarEntry>& entries);

// Removes the entries from first to last (both included) of className (empty: the whole
// school's). The number removed, or nullopt on a failure (shown).
std::optional<int> RemoveCalendarEntries(Database& db, const CalendarDate& first,
                                         const CalendarDate& last, const std::string& className);

// The entries from first to last (either end open when absent), in date order, the whole
// school's before the classes' (by name). Stored rows that are no entry (a date that is no day,
// an unknown kind) are left out.
std::vector<CalendarEntry> ListCalendarEntries(Database& db,
                                               const std::optional<CalendarDate>& first,
                                               const std::optional<CalendarDate>& last);

}  // namespace brenlow
