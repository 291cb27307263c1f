#include "schedule/minute_scheduler.h"

#include <algorithm>
#include <cstdio>

#include "core/messages.h"
#include "events/server_state.h"
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

// "YYYY-MM-DD HH:MM", the kept minute's text.
std::string MinuteText(const LocalTime& time) {
  char text[40];
  std::snprintf(text, sizeof text, "%s %02d:%02d", time.dateText().c_str(), time.hour, time.minute);
  return text;
}

std::optional<long long> ParseMinuteText(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%c", &year, &month, &day, &hour, &minute,
                  &end) != 5 ||
      month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) {
    return std::nullopt;
  }
  return MinuteKey(MakeLocalTime(year, month, day, hour, minute));
}

MinuteMemory StoredMinuteMemory(const Store& store, CatchUpPolicy policy) {
  MinuteMemory memory;
  memory.load = [store] {
    std::optional<std::string> text = ReadServerState(store.path(), kLastActedMinuteName);
    return text ? ParseMinuteText(*text) : std::nullopt;
  };
  // One line when keeping the minute starts failing, not one every minute.
  memory.save = [store, failing = false](long long minute) mutable {
    std::string error;
    const bool kept =
        WriteServerState(store.path(), kLastActedMinuteName, MinuteText(MinuteAt(minute)), &error);
    if (!kept && !failing)
      WriteStderrLine("the last minute acted on could not be kept: " + error);
    failing = !kept;
  };
  memory.catchUp = [store, policy](const LocalTime& lastActed, const LocalTime& now) {
    CatchUp(store, lastActed, now, policy);
  };
  return memory;
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

MinuteScheduler::MinuteScheduler(const Clock& clock, MinuteAction act, MinuteMemory memory)
    : clock_(clock), act_(std::move(act)), memory_(std::move(memory)) {}

MinuteScheduler::MinuteScheduler(const Clock& clock, const Store& store, CatchUpPolicy policy)
    : MinuteScheduler(
          clock, [store](const LocalTime& minute) { RunSchedule(store, minute); },
          StoredMinuteMemory(store, policy)) {}

void MinuteScheduler::resume(const LocalTime& nowTime) {
  resumed_ = true;
  if (!memory_.load)
    return;
  const std::optional<long long> kept = memory_.load();
  if (!kept)
    return;
  const long long now = MinuteKey(nowTime);
  const LocalTime last = MinuteAt(*kept);
  const bool sameDay = last.dateText() == nowTime.dateText();
  if (*kept > now) {
    // Minutes up to the kept one were acted on: the same day, they are not acted on twice.
    if (sameDay)
      lastActed_ = *kept;
    WriteStderrLine("catch-up: the clock (" + MinuteText(nowTime) +
                    ") is behind the last minute acted on (" + MinuteText(last) +
                    "): nothing caught up");
    return;
  }
  if (!sameDay) {
    WriteStderrLine("catch-up: the last minute acted on (" + MinuteText(last) +
                    ") was another day: nothing caught up");
    return;
  }
  if (*kept == now) {
    lastActed_ = *kept;  // a restart within the minute: it was acted on
    return;
  }
  if (*kept < now - 1 && memory_.catchUp)
    memory_.catchUp(last, nowTime);
}

void MinuteScheduler::tick() {
  const LocalTime nowTime = clock_.now();
  if (!resumed_)
    resume(nowTime);
  const long long now = MinuteKey(nowTime);
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
    if (memory_.save)
      memory_.save(minute);
  }
}

}  // namespace brenlow
