#include "schedule/minute_scheduler.h"

#include <gtest/gtest.h>

#include <vector>

namespace brenlow {
namespace {

// Ticks at the given times of Wednesday 2024-03-06 (hour, minute, second) and returns the
// minutes acted on, as "HH:MM".
struct TickAt {
  int hour, minute, second;
};

std::vector<std::string> ActedMinutes(const std::vector<TickAt>& ticks) {
  ManualClock clock;
  std::vector<std::string> acted;
  MinuteScheduler scheduler(clock, [&acted](const LocalTime& minute) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minute.hour, minute.minute);
    acted.push_back(text);
  });
  for (const TickAt& tick : ticks) {
    clock.set(MakeLocalTime(2024, 3, 6, tick.hour, tick.minute, tick.second));
    scheduler.tick();
  }
  return acted;
}

TEST(MinuteScheduler, ActsOnEachMinuteAtMostOnce) {
  struct Case {
    const char* what;
    std::vector<TickAt> ticks;
    std::vector<std::string> acted;
  };
  const std::vector<Case> cases = {
      {"first tick acts on its own minute only", {{10, 0, 30}}, {"10:00"}},
      {"regular ticks", {{10, 0, 30}, {10, 1, 30}, {10, 2, 30}}, {"10:00", "10:01", "10:02"}},
      {"two ticks in one minute", {{10, 0, 1}, {10, 0, 59}, {10, 1, 0}}, {"10:00", "10:01"}},
      {"a late tick catches up the skipped minute",
       {{10, 0, 59}, {10, 2, 1}},
       {"10:00", "10:01", "10:02"}},
      {"at most the 5 minutes before its own",
       {{10, 0, 0}, {10, 20, 0}},
       {"10:00", "10:15", "10:16", "10:17", "10:18", "10:19", "10:20"}},
      {"a clock that goes back acts on nothing until it passes the last minute",
       {{10, 30, 0}, {9, 30, 0}, {10, 29, 0}, {10, 30, 30}, {10, 31, 0}},
       {"10:30", "10:31"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ActedMinutes(c.ticks), c.acted) << c.what;
  }
}

TEST(MinuteScheduler, CatchUpCrossesMidnightWithTheRightDate) {
  ManualClock clock(MakeLocalTime(2024, 2, 29, 23, 58));
  std::vector<LocalTime> acted;
  MinuteScheduler scheduler(clock, [&acted](const LocalTime& minute) { acted.push_back(minute); });
  scheduler.tick();
  clock.set(MakeLocalTime(2024, 3, 1, 0, 1, 5));
  scheduler.tick();
  ASSERT_EQ(acted.size(), 4u);
  EXPECT_EQ(acted[1].dateText(), "2024-02-29");
  EXPECT_EQ(acted[1].minutesSinceMidnight(), 23 * 60 + 59);
  EXPECT_EQ(acted[1].weekday, 4);  // Thursday
  EXPECT_EQ(acted[2].dateText(), "2024-03-01");
  EXPECT_EQ(acted[2].minutesSinceMidnight(), 0);
  EXPECT_EQ(acted[2].weekday, 5);  // Friday
  EXPECT_EQ(acted[3].minutesSinceMidnight(), 1);
}

TEST(MinuteScheduler, TickReenteredFromInsideAMinuteDoesNotRepeatIt) {
  ManualClock clock(MakeLocalTime(2024, 3, 6, 10, 0));
  std::vector<int> acted;
  MinuteScheduler* self = nullptr;
  MinuteScheduler scheduler(clock, [&](const LocalTime& minute) {
    acted.push_back(minute.minutesSinceMidnight());
    // A message box shown during the minute runs a nested event loop that delivers the next
    // tick, a minute later.
    if (acted.size() == 1) {
      clock.set(MakeLocalTime(2024, 3, 6, 10, 1));
      self->tick();
    }
  });
  self = &scheduler;
  scheduler.tick();
  scheduler.tick();
  EXPECT_EQ(acted, (std::vector<int>{600, 601}));
}

TEST(MinuteScheduler, MinuteKeysRoundTripThroughTheCalendar) {
  for (const LocalTime& time :
       {MakeLocalTime(1970, 1, 1, 0, 0), MakeLocalTime(2024, 2, 29, 23, 59),
        MakeLocalTime(2000, 3, 1, 12, 30), MakeLocalTime(2099, 12, 31, 8, 5),
        MakeLocalTime(1969, 12, 31, 23, 59)}) {
    LocalTime back = MinuteAt(MinuteKey(time));
    EXPECT_EQ(back.dateText(), time.dateText());
    EXPECT_EQ(back.minutesSinceMidnight(), time.minutesSinceMidnight());
    EXPECT_EQ(back.weekday, time.weekday);
  }
  EXPECT_EQ(
      MinuteKey(MakeLocalTime(2024, 3, 1, 0, 0)) - MinuteKey(MakeLocalTime(2024, 2, 29, 23, 59)),
      1);
}

}  // namespace
}  // namespace brenlow
