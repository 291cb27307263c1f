#include "net/limited_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using TimePoint = LineLimit::TimePoint;

// Moves the clock on to at.
void MoveTo(ManualClock& clock, TimePoint at) {
  clock.advance(at - clock.monotonicNow());
}

struct Written {
  std::vector<std::string> lines;
  LineLimit::Writer writer() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
};

TEST(LineLimit, TenLinesAKeyAMinuteThenOneLineCountingTheRest) {
  Written written;
  ManualClock clock;
  LineLimit limit(LineLimit::Limits{}, written.writer(), clock);
  const TimePoint start = clock.monotonicNow();
  for (int i = 0; i < 25; ++i) {
    MoveTo(clock, start + i * 1ms);
    limit.write("10.0.0.7", "unknown", "line " + std::to_string(i));
  }
  MoveTo(clock, start + 30ms);
  limit.write("10.0.0.8", "unknown", "other source");
  ASSERT_EQ(written.lines.size(), 11u);
  EXPECT_EQ(written.lines[9], "line 9");
  EXPECT_EQ(written.lines[10], "other source");

  MoveTo(clock, start + 61s);
  limit.write("10.0.0.7", "unknown", "a minute later");
  ASSERT_EQ(written.lines.size(), 13u);
  EXPECT_EQ(written.lines[11], "suppressed 15 more lines like: line 24");
  EXPECT_EQ(written.lines[12], "a minute later");
}

// A flood that stops is summed up by the next sweep after its window, without a further line;
// what is still counted when the process ends is summed up then.
TEST(LineLimit, SweepsSumUpAFloodThatStoppedAndFinishSumsUpTheRest) {
  Written written;
  ManualClock clock;
  LineLimit limit(LineLimit::Limits{}, written.writer(), clock);
  const TimePoint start = clock.monotonicNow();
  for (int i = 0; i < 12; ++i) {
    MoveTo(clock, start + i * 1ms);
    limit.write("10.0.0.7", "unknown", "line " + std::to_string(i));
  }
  MoveTo(clock, start + 59s);
  limit.sweep();
  EXPECT_EQ(written.lines.size(), 10u) << "the window is not over";
  MoveTo(clock, start + 61s);
  limit.sweep();
  ASSERT_EQ(written.lines.size(), 11u);
  EXPECT_EQ(written.lines.back(), "suppressed 2 more lines like: line 11");
  MoveTo(clock, start + 62s);
  limit.sweep();
  EXPECT_EQ(written.lines.size(), 11u) << "summed up once";

  MoveTo(clock, start + 70s);
  for (int i = 0; i < 13; ++i)
    limit.write("10.0.0.9", "unknown", "again " + std::to_string(i));
  limit.finish();
  ASSERT_EQ(written.lines.size(), 22u);
  EXPECT_EQ(written.lines.back(), "suppressed 3 more lines like: again 12");
  limit.finish();
  EXPECT_EQ(written.lines.size(), 22u);
}

TEST(LineLimit, SourcesBeyondTheTableAndAllLinesTogetherMeetTheGlobalLimit) {
  Written written;
  ManualClock clock;
  LineLimit limit(LineLimit::Limits{10, 25, 2, std::chrono::minutes(1)}, written.writer(), clock);
  const TimePoint start = clock.monotonicNow();
  // Forged sources: each its own address. Two find room in the table, the rest share the
  // global limit with them.
  for (int source = 0; source < 1000; ++source) {
    MoveTo(clock, start + 1ms * source);
    for (int i = 0; i < 3; ++i)
      limit.write("10.1." + std::to_string(source), "unknown", "x");
  }
  EXPECT_EQ(written.lines.size(), 25u);
  MoveTo(clock, start + 62s);
  limit.write("10.2.0.1", "unknown", "later");
  EXPECT_EQ(written.lines.back(), "later");
  EXPECT_NE(std::find(written.lines.begin(), written.lines.end(),
                      "suppressed 2975 more lines from sources beyond the log's table"),
            written.lines.end());
}

}  // namespace
}  // namespace brenlow
