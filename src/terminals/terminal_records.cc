#include "terminals/terminal_records.h"

#include "net/wire_text.h"
#include "terminals/period_fields.h"

namespace brenlow {
std::string ClassNameReplyBytes(std::string_view name) {
  return Utf16LeBytes(CutToCodeUnits(Utf8ToUtf16(name), kClassNameMaxUnits));
}

std::string ParseClassNameReply(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return Utf16ToUtf8(units);
}

std::string PeriodRecordBytes(const PeriodRecord& period) {
  std::string bytes;
  AppendPeriodRecord(period, &bytes);
  return bytes;
}

void AppendPeriodRecord(const PeriodRecord& period, std::string* out) {
  size_t start = out->size();
  out->resize(start + kPeriodRecordSize);
  for (const PeriodField& field : kPeriodFields) {
    if (field.record != nullptr)
      PutUtf16Field(*out, start + field.recordOffset, field.recordWidth, period.*field.record);
  }
}

PeriodRecord ParsePeriodRecord(std::string_view bytes) {
  PeriodRecord period;
  for (const PeriodField& field : kPeriodFields) {
    if (field.record != nullptr)
      period.*field.record = GetUtf16Field(bytes, field.recordOffset, field.recordWidth);
  }
  return period;
}

std::string CourseRecordBytes(const CourseRecord& courses) {
  std::string bytes;
  AppendCourseRecord(courses, &bytes);
  return bytes;
}

void AppendCourseRecord(const CourseRecord& courses, std::string* out) {
  size_t start = out->size();
  out->resize(start + kCourseRecordSize);
  for (size_t day = 0; day < kCourseDays; ++day) {
    // The field has room for 49 characters, but terminals carry 19: the rest is cut here.
    PutUtf16Field(*out, start + day * kCourseFieldWidth, kCourseFieldWidth, courses.days[day],
                  kCourseTextMaxUnits);
  }
}

CourseRecord ParseCourseRecord(std::string_view bytes) {
  CourseRecord courses;
  for (size_t day = 0; day < kCourseDays; ++day) {
    courses.days[day] = GetUtf16Field(bytes, day * kCourseFieldWidth, kCourseFieldWidth);
  }
  return courses;
}

std::string PasswordRecordBytes(std::string_view password) {
  std::string bytes(kPasswordRecordSize, '\0');
  PutUtf16Field(bytes, 0, kPasswordRecordSize, password);
  return bytes;
}

std::string ParsePasswordRecord(std::string_view bytes) {
  return GetUtf16Field(bytes, 0, kPasswordRecordSize);
}

}  // namespace brenlow
