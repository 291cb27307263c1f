// The requests and records of port 62124. Every request starts with the 100-byte
// TerminalRequest header (terminal_request.h); only the teacher list uses its address slots.
// Texts are UTF-16LE in fixed-width fields ended by a zero code unit (UTF-8 in these structs);
// a field without its zero code unit ends at the field's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "terminals/terminal_request.h"

namespace brenlow {

// PeriodEditRequest (kind 2): 264 bytes.
//
//   offset  width  field
//   0       96     hardware-address slots (not used)
//   96      4      request kind = 2
//   100     4      row index, signed 32-bit: the period's position among the class's rows of
//                  that weekday in ID order, from 0
//   104     40     BJName (19 characters)
//   144     6      StartH (2 characters)
//   150     6      StartM
//   156     6      EndH
//   162     6      EndM
//   168     80     ThName (39 characters)
//   248     8      Week, for example "星期三" (3 characters)
//   256     4      AutoOn, signed 32-bit
//   260     4      AutoOff, signed 32-bit
struct PeriodEditRequest {
  int32_t row = 0;
  std::string bjName, startH, startM, endH, endM, thName, week;
  int32_t autoOn = 0;
  int32_t autoOff = 0;
};
inline constexpr size_t kPeriodEditRequestSize = 264;
std::string PeriodEditRequestBytes(const PeriodEditRequest& edit);
// bytes must hold kPeriodEditRequestSize bytes.
PeriodEditRequest ParsePeriodEditRequest(std::string_view bytes);

// CourseEditRequest (kind 3): 644 bytes.
//
//   offset  width  field
//   0       96     hardware-address slots (not used)
//   96      4      request kind = 3
//   100     4      row index, signed 32-bit: the row's position among the class's tblkc rows
//                  in ID order, from 0
//   104     40     BJName (19 characters)
//   144     100    Monday (49 characters)
//   244     100    Tuesday
//   344     100    Wednesday
//   444     100    Thursday
//   544     100    Friday
struct CourseEditRequest {
  int32_t row = 0;
  std::string bjName;
  std::string days[5];  // Monday to Friday
};
inline constexpr size_t kCourseEditRequestSize = 644;
std::string CourseEditRequestBytes(const CourseEditRequest& edit);
// bytes must hold kCourseEditRequestSize bytes.
CourseEditRequest ParseCourseEditRequest(std::string_view bytes);

// The bytes a request of this kind takes on port 62124 (100, 264 or 644); 0 for a kind the
// port does not know.
size_t ClientRequestSize(int32_t kind);

// TeacherNameRecord (reply to kind 1): 80 bytes, a teacher's NameNumb with terminator (39
// characters).
inline constexpr size_t kTeacherNameRecordSize = 80;
std::string TeacherNameRecordBytes(std::string_view nameNumb);
std::string ParseTeacherNameRecord(std::string_view bytes);

// End record (closes the reply to kind 1): 40 bytes, "close" as UTF-16LE code units, then
// zero bytes. Half as long as a TeacherNameRecord.
inline constexpr size_t kEndRecordSize = 40;
std::string EndRecordBytes();

}  // namespace brenlow
