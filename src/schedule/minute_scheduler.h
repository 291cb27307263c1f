// MinuteScheduler: what the minute timer runs on each tick.
//
// The timer fires every 60 s counted from the program's start, not on minute boundaries, and
// a busy event loop can deliver a tick late, so two ticks may fall into one minute and a
// minute may see none. Periods act by exact minute (power on at the start minute, use time at
// start + 3, power off at the end minute), so the scheduler acts on each minute of the local
// clock at most once, keyed by date and minute:
//   - a tick acts on its own minute unless that minute or a later one was acted on already;
//   - before that it acts on the minutes skipped since the last acted minute, at most the
//     kMaxCatchUpMinutes just before its own, oldest first;
//   - the first tick after the start acts on its own minute only; before that, when the last
//     minute a previous run acted on is kept (MinuteMemory) and lies earlier the same day, the
//     minutes missed in between are handed to the catch-up (catch_up.h); a kept minute later
//     than the clock's (a clock set back across a restart) catches up nothing and, the same
//     day, is treated as acted on; one of another day is passed over;
//   - a clock that goes back (a change of summer time, a correction) acts on nothing until
//     it passes the last acted minute.
// So a late or doubled tick never doubles a power-on or a use-time credit, and never loses a
// power-off. UI thread only; a tick that re-enters (a message box's nested event loop) acts
// only on minutes the outer tick has not claimed.
#pragma once

#include <functional>
#include <optional>

#include "core/clock.h"
#include "data/store.h"
#include "schedule/catch_up.h"

namespace brenlow {

inline constexpr int kMaxCatchUpMinutes = 5;

// Where the last minute acted on outlives the process, and what becomes of the minutes a
// previous run missed.
struct MinuteMemory {
  std::function<std::optional<long long>()> load;  // the minute key kept, nullopt when none
  std::function<void(long long)> save;             // after every tick that acted
  // At the first tick, when minutes after the kept one and before the tick's were missed the
  // same day: the kept minute and the tick's.
  std::function<void(const LocalTime& lastActed, const LocalTime& now)> catchUp;
};

class MinuteScheduler {
 public:
  using MinuteAction = std::function<void(const LocalTime& minute)>;

  // The clock must outlive the scheduler. act runs once per minute acted on (RunSchedule in
  // the program; tests record the minutes).
  MinuteScheduler(const Clock& clock, MinuteAction act, MinuteMemory memory = {});
  // The program's: RunSchedule on the store, the last minute acted on kept in it (written at
  // every tick, so a process killed without warning keeps it), the catch-up by policy.
  MinuteScheduler(const Clock& clock, const Store& store, CatchUpPolicy policy);

  void tick();

 private:
  // At the first tick: what the kept minute says about the minutes before it.
  void resume(const LocalTime& now);

  const Clock& clock_;
  MinuteAction act_;
  MinuteMemory memory_;
  bool resumed_ = false;
  std::optional<long long> lastActed_;  // minute key of the latest minute acted on
};

// Minutes since 1970-01-01 00:00 of the local calendar (no time zone applied): the scheduler's
// key of a minute, and back. MinuteAt gives the weekday of the date; seconds are 0.
long long MinuteKey(const LocalTime& time);
LocalTime MinuteAt(long long key);

}  // namespace brenlow
