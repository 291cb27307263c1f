// The timetable import from two CSV files, for the import dialog and brenlow-admin alike. The
// time table sets the start and end times of periods 1 to 7 for every class and every weekday
// at once; the course table sets the course names of the classes it names, making their seven
// course rows when they have none. Neither creates classes or periods.
//
// The two files are one import (ImportTimetableFiles): both are written in one transaction, or
// neither when either is refused or a statement fails. A faulty file (import_csv_file.h; in the
// time table also a time that is not a whole number in range) is refused whole before anything
// is written. A course line naming a class that does not exist is skipped and reported. Any
// thread; the imports use the calling thread's connection to the default store.
#pragma once

#include <string>
#include <vector>

#include "data/store.h"

namespace brenlow {

inline constexpr const char* kTimeTableHeader = "Time,StartH,StartM,EndH,EndM";
inline constexpr const char* kCourseTableHeader = "BJName,Monday,Tuesday,Wednesday,Thursday,Friday";

struct TimetableImportResult {
  enum class Status {
    kOk,
    kCannotOpen,   // the file could not be read; nothing written
    kFileError,    // refused for its format; nothing written
    kStoreFailed,  // a read or a statement failed
  };
  Status status = Status::kOk;
  // Where and why, for a message's detail text (Chinese); empty on kOk.
  std::string detail;
  std::string encoding;  // the encoding the file was read in
  int classes = 0;       // classes whose rows were written
  int rows = 0;          // periods (time table) or course rows (course table) written
  // Lines left out, each with its reason: "第 5 行：班级 初一（1）班 不存在，已跳过".
  std::vector<std::string> skipped;

  bool ok() const { return status == Status::kOk; }
};

// One file's import, inside whatever transaction the caller holds.
TimetableImportResult ImportTimeTableFile(const Store& store, const std::string& path);
TimetableImportResult ImportCourseTableFile(const Store& store, const std::string& path);

struct TimetablePairResult {
  TimetableImportResult times;
  TimetableImportResult courses;
  bool written = false;      // both files were imported and kept
  std::string storeFailure;  // the transaction could not begin or end, or empty
};

// Both files as one import in one transaction; dryRun checks and counts everything, then keeps
// nothing.
TimetablePairResult ImportTimetableFiles(const Store& store, const std::string& timesPath,
                                         const std::string& coursesPath, bool dryRun);

// What the import did, one line each (Chinese): the encodings read, what was (or, on a dry
// run, would be) written, each line skipped; for the shell's output and the dialog's details.
std::vector<std::string> TimetableSummary(const TimetablePairResult& result, bool dryRun);

}  // namespace brenlow
