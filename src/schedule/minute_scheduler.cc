#include "schedule/minute_scheduler.h"

#include <algorithm>

#include "schedule/run_schedule.h"

namespace brenlow {
namespace {

constexpr long long kMinutesPerDay = 24 * 60;

// Days since 1970-01-01 of a proleptic Gregorian date, and back, by the usual era
// arithmetic (400-year eras of 146097 days, years starting in March).
long long DaysFromCivil(long long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

void CivilFromDays(long long days, int* year, int* month, int* day) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
  const unsigned yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
  *day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  *month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  *year = static_cast<int>(static_cast<long long>(yearOfEra) + era * 400 + (*month <= 2));
}

}  // namespace

long long MinuteKey(const LocalTime& time) {
  return DaysFromCivil(time.year, static_cast<unsigned>(time.month),
                       static_cast<unsigned>(time.day)) *
             kMinutesPerDay +
         time.minutesSinceMidnight();
}

LocalTime MinuteAt(long long key) {
  long long days = key >= 0 ? key / kMinutesPerDay : (key - kMinutesPerDay + 1) / kMinutesPerDay;
  int minuteOfDay = static_cast<int>(key - days * kMinutesPerDay);
  int year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(days, &year, &month, &day);
  return MakeLocalTime(year, month, day, minuteOfDay / 60, minuteOfDay % 60);
}

MinuteScheduler::MinuteScheduler(const Clock& clock, MinuteAction act)
    : clock_(clock), act_(std::move(act)) {}

MinuteScheduler::MinuteScheduler(const Clock& clock) : MinuteScheduler(clock, RunSchedule) {}

void MinuteScheduler::tick() {
  const long long now = MinuteKey(clock_.now());
  long long first = now;
  if (lastActed_) {
    if (now <= *lastActed_)
      return;
    first = std::max(*lastActed_ + 1, now - kMaxCatchUpMinutes);
  }
  for (long long minute = first; minute <= now; ++minute) {
    // Claimed before acting: a tick re-entering from inside act_ skips this minute.
    if (lastActed_ && minute <= *lastActed_)
      continue;
    lastActed_ = minute;
    act_(MinuteAt(minute));
  }
}

}  // namespace brenlow
