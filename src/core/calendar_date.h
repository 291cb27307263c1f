// A day of the Gregorian calendar, as the school calendar and the usage records write it:
// "YYYY-MM-DD". Nothing here reads the local clock or its zone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brenlow {

struct CalendarDate {
  int year = 1970;  // 1-9999
  int month = 1;    // 1-12
  int day = 1;      // 1-31, within the month

  // A "YYYY-MM-DD" text (exactly four, two and two digits) of a day that exists (2026-02-29 and
  // 2026-04-31 do not), or nullopt.
  static std::optional<CalendarDate> Parse(std::string_view text);

  std::string text() const;  // "YYYY-MM-DD"
  int weekday() const;       // 0 Sunday ... 6 Saturday
  CalendarDate next() const;

  auto operator<=>(const CalendarDate&) const = default;
};

// The number of days in a month of a year (February counts leap years).
int DaysInMonth(int year, int month);

}  // namespace brenlow
