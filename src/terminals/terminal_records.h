// The records that port 64124 sends back. Replies have no header, length or end mark: a
// reply is its records one after the other. Texts are UTF-16LE; a field holds its text cut to
// the room given, one zero code unit, then zero bytes to the field's end. Texts are UTF-8 in
// these structs, as the store holds them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brenlow {

// Class name reply (kind 1): the name's UTF-16LE code units, no terminator, at most 19 code
// units (2 bytes each).
inline constexpr size_t kClassNameMaxUnits = 19;
std::string ClassNameReplyBytes(std::string_view name);
std::string ParseClassNameReply(std::string_view bytes);

// PeriodRecord (kind 2): one row of tblkcTime, 120 bytes.
//
//   offset  width  field    text room
//   0       6      StartH   2 characters
//   6       6      StartM   2
//   12      6      EndH     2
//   18      6      EndM     2
//   24      4      AutoOn   1 (the column's text, "1" or "0")
//   28      4      AutoOff  1
//   32      8      Week     3 (for example "星期一")
//   40      80     ThName   39
struct PeriodRecord {
  std::string startH, startM, endH, endM, autoOn, autoOff, week, thName;
};
inline constexpr size_t kPeriodRecordSize = 120;
std::string PeriodRecordBytes(const PeriodRecord& period);
// Appends the same 120 bytes to out (a reply of many records).
void AppendPeriodRecord(const PeriodRecord& period, std::string* out);
// bytes must hold kPeriodRecordSize bytes.
PeriodRecord ParsePeriodRecord(std::string_view bytes);

// CourseRecord (kind 3): one row of tblkc, 500 bytes; each day's course text carries at most
// 19 characters.
//
//   offset  width  field
//   0       100    Monday
//   100     100    Tuesday
//   200     100    Wednesday
//   300     100    Thursday
//   400     100    Friday
inline constexpr size_t kCourseDays = 5;
struct CourseRecord {
  std::string days[kCourseDays];  // Monday to Friday
};
inline constexpr size_t kCourseRecordSize = 500;
inline constexpr size_t kCourseFieldWidth = 100;
inline constexpr size_t kCourseTextMaxUnits = 19;
std::string CourseRecordBytes(const CourseRecord& courses);
void AppendCourseRecord(const CourseRecord& courses, std::string* out);
CourseRecord ParseCourseRecord(std::string_view bytes);

// Password record (kind 4): 40 bytes, tblbj.Pass with terminator (at most 19 characters).
inline constexpr size_t kPasswordRecordSize = 40;
std::string PasswordRecordBytes(std::string_view password);
std::string ParsePasswordRecord(std::string_view bytes);

}  // namespace brenlow
