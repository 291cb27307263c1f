#include "terminals/client_records.h"

#include "net/wire_text.h"
#include "terminals/period_fields.h"

namespace brenlow {
namespace {

constexpr size_t kRowOffset = 100;
constexpr size_t kBjNameOffset = 104;
constexpr size_t kBjNameWidth = 40;
constexpr size_t kDaysOffset = 144;
constexpr size_t kDayWidth = 100;

std::string Header(int32_t kind, size_t size) {
  TerminalRequest header;
  header.kind = kind;
  std::string bytes = TerminalRequestBytes(header);
  bytes.resize(size, '\0');
  return bytes;
}

}  // namespace

std::string PeriodEditRequestBytes(const PeriodEditRequest& edit) {
  std::string bytes = Header(kPeriodEditKind, kPeriodEditRequestSize);
  PutInt32Le(bytes, kRowOffset, edit.row);
  for (const PeriodField& field : kPeriodFields) {
    if (field.editText != nullptr)
      PutUtf16Field(bytes, field.editOffset, field.editWidth, edit.*field.editText);
    else
      PutInt32Le(bytes, field.editOffset, edit.*field.editNumber);
  }
  return bytes;
}

PeriodEditRequest ParsePeriodEditRequest(std::string_view bytes) {
  PeriodEditRequest edit;
  edit.row = GetInt32Le(bytes, kRowOffset);
  for (const PeriodField& field : kPeriodFields) {
    if (field.editText != nullptr)
      edit.*field.editText = GetUtf16Field(bytes, field.editOffset, field.editWidth);
    else
      edit.*field.editNumber = GetInt32Le(bytes, field.editOffset);
  }
  return edit;
}

std::string CourseEditRequestBytes(const CourseEditRequest& edit) {
  std::string bytes = Header(kCourseEditKind, kCourseEditRequestSize);
  PutInt32Le(bytes, kRowOffset, edit.row);
  PutUtf16Field(bytes, kBjNameOffset, kBjNameWidth, edit.bjName);
  for (size_t day = 0; day < 5; ++day) {
    PutUtf16Field(bytes, kDaysOffset + day * kDayWidth, kDayWidth, edit.days[day]);
  }
  return bytes;
}

CourseEditRequest ParseCourseEditRequest(std::string_view bytes) {
  CourseEditRequest edit;
  edit.row = GetInt32Le(bytes, kRowOffset);
  edit.bjName = GetUtf16Field(bytes, kBjNameOffset, kBjNameWidth);
  for (size_t day = 0; day < 5; ++day) {
    edit.days[day] = GetUtf16Field(bytes, kDaysOffset + day * kDayWidth, kDayWidth);
  }
  return edit;
}

size_t ClientRequestSize(int32_t kind) {
  switch (kind) {
    case kTeacherListKind:
      return kTerminalRequestSize;
    case kPeriodEditKind:
      return kPeriodEditRequestSize;
    case kCourseEditKind:
      return kCourseEditRequestSize;
    default:
      return 0;
  }
}

std::string TeacherNameRecordBytes(std::string_view nameNumb) {
  std::string bytes(kTeacherNameRecordSize, '\0');
  PutUtf16Field(bytes, 0, kTeacherNameRecordSize, nameNumb);
  return bytes;
}

std::string ParseTeacherNameRecord(std::string_view bytes) {
  return GetUtf16Field(bytes, 0, kTeacherNameRecordSize);
}

std::string EndRecordBytes() {
  std::string bytes(kEndRecordSize, '\0');
  PutUtf16Field(bytes, 0, kEndRecordSize, "close");
  return bytes;
}

}  // namespace brenlow
