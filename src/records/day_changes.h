// One-day changes (tbl_day_change): for one date, one class and one period, a substitute
// teacher takes the lesson or the lesson is cancelled. The change holds for that date only and
// needs no undoing; a change of a day gone stays on record (it explains the usage figures) and
// affects nothing. One change per date, class and period; writing one again replaces it.
// brenlow-admin and the calendar window write and read changes through these functions; the
// plan of the day (day_plan.h) carries them out.
//
// The period is counted among the periods that apply on the date (on a make-up day those of
// the weekday it follows), 1 to 7 as in the timetable window. A substitute is named by teacher
// number; where a change is read, the teacher appears by the NameNumb that number has now (or
// the one it had when the change was written, for a teacher since removed).
//
// A database whose change table is missing (an older file opened read-only) reads as one
// without changes. Any thread; a DatabaseError from reading the store reaches the caller.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/calendar_date.h"
#include "data/database.h"

namespace brenlow {

enum class ChangeKind {
  kSubstitute,  // 代课: the substitute's card opens the room and the substitute is credited
  kCancelled,   // 停课: not powered on, nobody credited; the power-off is still sent
};

struct DayChange {
  CalendarDate date;
  std::string className;
  int period = 0;  // 1 to kPeriodsPerDay (core/weekdays.h)
  ChangeKind kind = ChangeKind::kCancelled;
  std::string teacherNumber;  // kSubstitute: the substitute's Numb; empty otherwise
  std::string teacher;        // kSubstitute, as read: the substitute's NameNumb
  std::string note;
};

const char* ChangeKindKey(ChangeKind kind);   // "substitute", "cancelled"
const char* ChangeKindText(ChangeKind kind);  // "代课", "停课"

// Why the change cannot be written, or empty when it can: "no such class: NAME", "no teacher
// has the number: NUMBER", "a period is 1 to 7, not: N", "period N of NAME has no times on
// DATE" (no such period that day, or its times are blank, or it is a weekend).
std::string DayChangeRefusal(Database& db, const DayChange& change);

// Writes the change (not checked here: DayChangeRefusal does that), replacing the one of its
// date, class and period. A failure has been shown through the message interface.
Status AddDayChange(Database& db, const DayChange& change);

// Removes the change of that date, class and period. True when there was one, false when
// there was none, nullopt on a failure (shown).
std::optional<bool> RemoveDayChange(Database& db, const CalendarDate& date,
                                    const std::string& className, int period);

// The changes from first to last (either end open when absent), by date, class and period.
// Stored rows that are no change (a date that is no day, an unknown kind) are left out.
std::vector<DayChange> ListDayChanges(Database& db, const std::optional<CalendarDate>& first,
                                      const std::optional<CalendarDate>& last);

}  // namespace brenlow
