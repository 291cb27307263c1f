#include "net/limited_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using Clock = LineLimit::Clock;

struct Written {
  std::vector<std::string> lines;
  LineLimit::Writer writer() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
};

TEST(LineLimit, TenLinesAKeyAMinuteThenOneLineCountingTheRest) {
  Written written;
  LineLimit limit(LineLimit::Limits{}, written.writer());
  const Clock::time_point start{};
  for (int i = 0; i < 25; ++i)
    limit.write("10.0.0.7", "unknown", "line " + std::to_string(i), start + i * 1ms);
  limit.write("10.0.0.8", "unknown", "other source", start + 30ms);
  ASSERT_EQ(written.lines.size(), 11u);
  EXPECT_EQ(written.lines[9], "line 9");
  EXPECT_EQ(written.lines[10], "other source");

  limit.write("10.0.0.7", "unknown", "a minute later", start + 61s);
  ASSERT_EQ(written.lines.size(), 13u);
  EXPECT_EQ(written.lines[11], "suppressed 15 more lines like: line 24");
  EXPECT_EQ(written.lines[12], "a minute later");
}

// A flood that stops is summed up by the next sweep after its window, without a further line;
// what is still counted when the process ends is summed up then.
TEST(LineLimit, SweepsSumUpAFloodThatStoppedAndFinishSumsUpTheRest) {
  Written written;
  LineLimit limit(LineLimit::Limits{}, written.writer());
  const Clock::time_point start{};
  for (int i = 0; i < 12; ++i)
    limit.write("10.0.0.7", "unknown", "line " + std::to_string(i), start + i * 1ms);
  limit.sweep(start + 59s);
  EXPECT_EQ(written.lines.size(), 10u) << "the window is not over";
  limit.sweep(start + 61s);
  ASSERT_EQ(written.lines.size(), 11u);
  EXPECT_EQ(written.lines.back(), "suppressed 2 more lines like: line 11");
  limit.sweep(start + 62s);
  EXPECT_EQ(written.lines.size(), 11u) << "summed up once";

  for (int i = 0; i < 13; ++i)
    limit.write("10.0.0.9", "unknown", "again " + std::to_string(i), start + 70s);
  limit.finish();
  ASSERT_EQ(written.lines.size(), 22u);
  EXPECT_EQ(written.lines.back(), "suppressed 3 more lines like: again 12");
  limit.finish();
  EXPECT_EQ(written.lines.size(), 22u);
}

TEST(LineLimit, SourcesBeyondTheTableAndAllLinesTogetherMeetTheGlobalLimit) {
  Written written;
  LineLimit limit(LineLimit::Limits{10, 25, 2, std::chrono::minutes(1)}, written.writer());
  const Clock::time_point start{};
  // Forged sources: each its own address. Two find room in the table, the rest share the
  // global limit with them.
  for (int source = 0; source < 1000; ++source) {
    for (int i = 0; i < 3; ++i)
      limit.write("10.1." + std::to_string(source), "unknown", "x", start + 1ms * source);
  }
  EXPECT_EQ(written.lines.size(), 25u);
  limit.write("10.2.0.1", "unknown", "later", start + 62s);
  EXPECT_EQ(written.lines.back(), "later");
  EXPECT_NE(std::find(written.lines.begin(), written.lines.end(),
                      "suppressed 2975 more lines from sources beyond the log's table"),
            written.lines.end());
}

}  // namespace
}  // namespace brenlow
