#include "core/calendar_date.h"

#include <cstdio>

namespace brenlow {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

std::optional<int> Digits(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year))
    return 29;
  return days[month - 1];
}

std::optional<CalendarDate> CalendarDate::Parse(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-')
    return std::nullopt;
  std::optional<int> year = Digits(text.substr(0, 4));
  std::optional<int> month = Digits(text.substr(5, 2));
  std::optional<int> day = Digits(text.substr(8, 2));
  if (!year || !month || !day || *year < 1 || *month < 1 || *month > 12 || *day < 1 ||
      *day > DaysInMonth(*year, *month)) {
    return std::nullopt;
  }
  return CalendarDate{*year, *month, *day};
}

std::string CalendarDate::text() const {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

int CalendarDate::weekday() const {
  // Sakamoto's method.
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int y = month < 3 ? year - 1 : year;
  return (y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7;
}

CalendarDate CalendarDate::next() const {
  if (day < DaysInMonth(year, month))
    return CalendarDate{year, month, day + 1};
  if (month < 12)
    return CalendarDate{year, month + 1, 1};
  return CalendarDate{year + 1, 1, 1};
}

}  // namespace brenlow
