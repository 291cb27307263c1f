#include "events/event_time.h"

#include <cstdio>
#include <ctime>

namespace brenlow {

std::string EventTimeText(const LocalTime& time) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

LocalTime DaysEarlier(const LocalTime& time, int days) {
  // Calendar arithmetic on the date alone, done in UTC where no day has 23 or 25 hours.
  std::tm date{};
  date.tm_year = time.year - 1900;
  date.tm_mon = time.month - 1;
  date.tm_mday = time.day - days;
  date.tm_hour = 12;
  const std::time_t noon = timegm(&date);
  std::tm back{};
  gmtime_r(&noon, &back);
  return MakeLocalTime(back.tm_year + 1900, back.tm_mon + 1, back.tm_mday, time.hour, time.minute,
                       time.second);
}

}  // namespace brenlow
