// The timetable import from two CSV files, for the import dialog and brenlow-admin alike. The
// time table sets the start and end times of periods 1 to 7 for every class and every weekday
// at once; the course table sets the course names of the classes it names, making their seven
// course rows when they have none. Neither creates classes or periods.
//
// A faulty file (import_csv_file.h) is refused whole before anything is written. Otherwise the
// statements run one by one without a transaction: when one fails (shown through the message
// interface, as Database::execute does) or a read fails, the import ends there and the rows
// written before stay. Each import opens its own Database. Any thread.
#pragma once

#include <string>

namespace brenlow {

inline constexpr const char* kTimeTableHeader = "Time,StartH,StartM,EndH,EndM";
inline constexpr const char* kCourseTableHeader = "BJName,Monday,Tuesday,Wednesday,Thursday,Friday";

struct TimetableImportResult {
  enum class Status {
    kOk,
    kCannotOpen,   // the file could not be read; nothing written
    kFileError,    // refused for its format; nothing written
    kStoreFailed,  // a read or a statement failed; the rows before it stay
  };
  Status status = Status::kOk;
  // Where and why, for a message's detail text (Chinese); empty on kOk.
  std::string detail;

  bool ok() const { return status == Status::kOk; }
};

TimetableImportResult ImportTimeTableFile(const std::string& path);
TimetableImportResult ImportCourseTableFile(const std::string& path);

}  // namespace brenlow
