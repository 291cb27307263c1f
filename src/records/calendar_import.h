// Importing the school calendar from a file, shared by `brenlow-admin calendar import` and the
// calendar window. Two formats, told apart by their first character:
//
// - The JSON of the public Chinese holiday data sets: an object whose "days" array holds
//   {"name", "date", "isOffDay"}. A day with isOffDay true becomes a whole-school day off with
//   the name as its note. A day with isOffDay false is a make-up working day (补班); which
//   weekday's periods it runs is not in the file and is never guessed: it becomes a make-up day
//   only when the caller names its weekday, and is otherwise reported as needing one.
// - CSV with the header "date,kind,weekday,class,note" (kind off/follows or 放假/调休, weekday as
//   SchoolWeekdayFromText reads it, class empty for the whole school), UTF-8 with or without a
//   byte-order mark, or code page 936. Fields may be quoted as RFC 4180 writes them (what
//   `calendar list --format csv` writes).
//
// The whole file is read and checked (dates, kinds, weekdays, classes) before anything is
// written; a faulty file changes nothing and its refusal names the line (or the JSON day).
// Any thread; a DatabaseError from reading the class table reaches the caller.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "data/database.h"
#include "records/calendar_records.h"

namespace brenlow {

// A make-up working day of a holiday data set: its date and the holiday's name.
struct MakeUpDay {
  std::string date;  // "2026-10-10"
  std::string name;  // "国庆节"
};

struct CalendarImport {
  bool ok = false;
  // Why nothing was written: "FILE: line 3: not a date: 2026-02-30"; empty when ok.
  std::string error;
  std::vector<CalendarEntry> written;
  // The make-up days of a holiday data set that no weekday was given for, in file order.
  std::vector<MakeUpDay> unnamedMakeUpDays;
};

// Reads, checks and writes the file at path. followedWeekdays gives the weekday ("星期一" ...
// "星期五") of make-up days of a holiday data set by their date ("2026-10-10"); a date there
// that is no make-up day of the file refuses the file, and so does any given for a CSV file.
CalendarImport ImportCalendarFile(Database& db, const std::string& path,
                                  const std::map<std::string, std::string>& followedWeekdays);

}  // namespace brenlow
