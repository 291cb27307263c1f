// The period fields that the two terminal ports carry, one row per tblkcTime column in the
// table's column order: the column's name, where its field sits in a PeriodRecord (port 64124,
// the reply to kind 2; every field is text) and where it sits in a PeriodEditRequest (port
// 62124, kind 2; text fields and two signed 32-bit numbers). Offsets and widths are in bytes;
// the two records' headers say how a field holds its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "terminals/client_records.h"
#include "terminals/terminal_records.h"

namespace brenlow {

struct PeriodField {
  const char* column;
  // In a PeriodRecord; nullptr when the record does not carry the column.
  std::string PeriodRecord::*record;
  size_t recordOffset;
  size_t recordWidth;
  // In a PeriodEditRequest: a text field, or else a signed 32-bit number.
  std::string PeriodEditRequest::*editText;
  int32_t PeriodEditRequest::*editNumber;
  size_t editOffset;
  size_t editWidth;
  // An edit rewrites the column; the others (BJName, Week) pick the row it rewrites.
  bool edited;
};

inline constexpr PeriodField kPeriodFields[] = {
    {"BJName", nullptr, 0, 0, &PeriodEditRequest::bjName, nullptr, 104, 40, false},
    {"Week", &PeriodRecord::week, 32, 8, &PeriodEditRequest::week, nullptr, 248, 8, false},
    {"StartH", &PeriodRecord::startH, 0, 6, &PeriodEditRequest::startH, nullptr, 144, 6, true},
    {"StartM", &PeriodRecord::startM, 6, 6, &PeriodEditRequest::startM, nullptr, 150, 6, true},
    {"EndH", &PeriodRecord::endH, 12, 6, &PeriodEditRequest::endH, nullptr, 156, 6, true},
    {"EndM", &PeriodRecord::endM, 18, 6, &PeriodEditRequest::endM, nullptr, 162, 6, true},
    {"AutoOn", &PeriodRecord::autoOn, 24, 4, nullptr, &PeriodEditRequest::autoOn, 256, 4, true},
    {"AutoOff", &PeriodRecord::autoOff, 28, 4, nullptr, &PeriodEditRequest::autoOff, 260, 4, true},
    {"ThName", &PeriodRecord::thName, 40, 80, &PeriodEditRequest::thName, nullptr, 168, 80, true},
};

}  // namespace brenlow
