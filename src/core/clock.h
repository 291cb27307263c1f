// The local clock. The scheduler, the controller listener and the use-time accounting take
// their date, time and weekday from one Clock that is handed to them, so that tests set the
// minute and the day. The program uses SystemClock (local time, honouring TZ).
#pragma once

#include <chrono>
#include <mutex>
#include <string>

#include "core/calendar_date.h"

namespace brenlow {

struct LocalTime {
  int year = 1970;  // four digits
  int month = 1;    // 1-12
  int day = 1;      // 1-31
  int hour = 0;     // 0-23
  int minute = 0;   // 0-59
  int second = 0;   // 0-59 (60 on a leap second)
  int weekday = 4;  // 0 Sunday ... 6 Saturday

  int minutesSinceMidnight() const { return hour * 60 + minute; }
  // "%Y-%m-%d", the day as the usage records write it.
  std::string dateText() const;
  CalendarDate date() const { return CalendarDate{year, month, day}; }
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() const = 0;
  // Elapsed time that never jumps with the wall clock (for "soon after" tests).
  virtual std::chrono::steady_clock::time_point monotonicNow() const = 0;
};

class SystemClock final : public Clock {
 public:
  LocalTime now() const override;
  std::chrono::steady_clock::time_point monotonicNow() const override;
};

// A clock that stands still until a test moves it. Thread-safe.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(LocalTime start = {});
  LocalTime now() const override;
  std::chrono::steady_clock::time_point monotonicNow() const override;

  void set(const LocalTime& time);
  // Moves the monotonic clock forward; the local time is set separately.
  void advance(std::chrono::steady_clock::duration by);

 private:
  mutable std::mutex mutex_;
  LocalTime time_;                                   // guarded by mutex_
  std::chrono::steady_clock::time_point monotonic_;  // guarded by mutex_
};

// Builds a LocalTime for a calendar date and time, computing the weekday.
LocalTime MakeLocalTime(int year, int month, int day, int hour, int minute, int second = 0);

}  // namespace brenlow
