#include "core/clock.h"

#include <ctime>

namespace brenlow {

std::string LocalTime::dateText() const {
  return date().text();
}

LocalTime SystemClock::now() const {
  std::time_t seconds = std::time(nullptr);
  std::tm local{};
  localtime_r(&seconds, &local);
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = local.tm_sec;
  time.weekday = local.tm_wday;
  return time;
}

std::chrono::steady_clock::time_point SystemClock::monotonicNow() const {
  return std::chrono::steady_clock::now();
}

ManualClock::ManualClock(LocalTime start) : time_(start), monotonic_() {}

LocalTime ManualClock::now() const {
  std::lock_guard lock(mutex_);
  return time_;
}

std::chrono::steady_clock::time_point ManualClock::monotonicNow() const {
  std::lock_guard lock(mutex_);
  return monotonic_;
}

void ManualClock::set(const LocalTime& time) {
  std::lock_guard lock(mutex_);
  time_ = time;
}

void ManualClock::advance(std::chrono::steady_clock::duration by) {
  std::lock_guard lock(mutex_);
  monotonic_ += by;
}

LocalTime MakeLocalTime(int year, int month, int day, int hour, int minute, int second) {
  // The weekday of a Gregorian date without touching the C library's zone.
  const int weekday = CalendarDate{year, month, day}.weekday();
  return LocalTime{year, month, day, hour, minute, second, weekday};
}

}  // namespace brenlow
