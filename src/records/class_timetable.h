// One class's timetable as the editor shows it: its seven course rows (Monday to Friday names)
// and, per school weekday, its periods in ID order. The editor's "应用" and "保存" and
// brenlow-admin's period and course commands read and write it through these functions, which
// hold the editor's own statements, so a period set from the shell reads back in the window
// exactly as one applied there.
//
// Reads come back as nullopt when the store cannot be read. Any thread; the Database is the
// caller's (one operation), so that a caller can run several writes in one transaction.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"

namespace brenlow {

struct PeriodRow {
  std::string id;  // the row's ID, as text, for the update
  std::string startH, startM, endH, endM;
  std::string thName;
  int autoOn = 0;
  int autoOff = 0;
};

struct ClassTimetable {
  // Up to seven course rows in ID order, each the five names Monday first.
  std::vector<std::array<std::string, 5>> courses;
  // Per school weekday (Monday first) the periods in ID order, the first seven.
  std::array<std::vector<PeriodRow>, 5> periods;
};

std::optional<ClassTimetable> ReadClassTimetable(Database& db, const std::string& className);

// The class's periods on weekday (its text, 星期一..星期五) in ID order, as "应用" reads them.
RecordSet QueryWeekdayPeriods(Database& db, const std::string& className,
                              const std::string& weekday);

// The class's course rows in ID order (period order), as "保存" reads them.
RecordSet QueryCourseRows(Database& db, const std::string& className);

// Writes every field of the period row as "应用" writes it.
Status WritePeriod(Database& db, const PeriodRow& period);

// Appends a course row of the class (the five names, Monday first), as the first "保存" of a
// class writes its seven.
Status InsertCourseRow(Database& db, const std::string& className,
                       const std::array<std::string, 5>& names);

// Replaces the five names of the course row id, as a later "保存" does.
Status UpdateCourseRow(Database& db, const RowId& id, const std::array<std::string, 5>& names);

// Sets one course cell: row (0 is the first period) of weekday (0 Monday ... 4 Friday). A class
// without course rows first gets its seven, blank, as the timetable import makes them.
bool WriteCourse(Database& db, const std::string& className, int weekday, int row,
                 const std::string& name);

// A time of day from a period's hour and minute texts, as minutes since midnight, when both are
// whole numbers in range (hour 0-23, minute 0-59); nullopt for blanks and anything else.
std::optional<int> PeriodTime(const std::string& hour, const std::string& minute);

}  // namespace brenlow
