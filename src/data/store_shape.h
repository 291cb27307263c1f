// The shape of a Brenlow database: its five tables and the added ones exactly as
// `brenlow --init-database` makes them. The model is that command's own schema, created once per
// process in a database in memory, so there is one definition to keep. One check serves every
// place that takes a file as a Brenlow database: the open of every connection, `check` and
// `restore` of brenlow-admin.
//
// A table's shape is its exact name (SQLite itself compares names without regard to case, the
// system's statements and checks do not), its columns in order with their declared types,
// defaults, NOT NULL and key (`ID INTEGER PRIMARY KEY`, without which rows have no stable ID and
// updates by ID reach nothing), and what else its definition holds (CHECK, COLLATE, REFERENCES).
// Indexes and extra tables are allowed. An added table may be missing (an older file gains it at
// its first open).
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace brenlow {

// A class may have at most this many periods a weekday and this many course rows; a terminal
// shows no more, and a file with more (a hostile restore) would make every reply huge.
inline constexpr int kMaxPeriodsPerWeekday = 7;
inline constexpr int kMaxCourseRowsPerClass = 7;

// Findings about the tables of handle's database, one sentence each; empty when every one of the
// five tables, and every added table present, has its shape. A failed read is a finding too.
std::vector<std::string> TableShapeProblems(sqlite3* handle);

// The triggers and views of handle's database, one finding each. A trigger runs hidden
// statements at the server's next write (emptying a table, say); a file to be restored may have
// neither.
std::vector<std::string> TriggerAndViewProblems(sqlite3* handle);

// Classes with more than kMaxPeriodsPerWeekday periods on a weekday or more than
// kMaxCourseRowsPerClass course rows, one finding each (the first few, then how many more).
std::vector<std::string> ClassSizeProblems(sqlite3* handle);

}  // namespace brenlow
