#include "events/event_writer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include "support/recording_lines.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::RecordingLines;
using testing::TempDatabase;

class EventWriterTest : public ::testing::Test {
 protected:
  std::string rows(const std::string& what = "kind||' '||decision||' '||count") {
    std::string text;
    for (const std::string& row : store_.column("select " + what + " from tbl_events Order by ID"))
      text += row + "\n";
    return text;
  }

  TempDatabase store_;
  ManualClock clock_{MakeLocalTime(2026, 12, 9, 8, 5, 30)};
  EventWriter writer_{clock_, store_.path()};
};

TEST_F(EventWriterTest, KeepsEachKindsFactsWithTheClocksTime) {
  writer_.record(SwipeEvent("10.0.0.5", "一班", "1-2-3-4", "张三(1-2-3-4)", "no-period-now", true));
  writer_.record(CommandEvent("一班", "10.0.0.5", 20108, "power-off", "period-end 08:45", "boom"));
  writer_.record(EditEvent("10.0.0.9", "一班", "period week=星期三 row=1",
                           {{"StartH", "8", "9"}, {"ThName", "", "李四(2)"}}, ""));
  writer_.record(PowerEvent("10.0.0.5", "一班", true));
  ASSERT_TRUE(writer_.writeQueued());
  EXPECT_EQ(
      rows("time||'|'||kind||'|'||class||'|'||address||'|'||port||'|'||count||'|'||card||"
           "'|'||teacher||'|'||decision||'|'||command||'|'||reason||'|'||outcome||'|'||"
           "edit_row||'|'||fields||'|'||power"),
      "2026-12-09T08:05:30|swipe|一班|10.0.0.5|0|1|1-2-3-4|张三(1-2-3-4)|no-period-now||||||\n"
      "2026-12-09T08:05:30|command|一班|10.0.0.5|20108|1||||power-off|period-end "
      "08:45|boom|||\n"
      "2026-12-09T08:05:30|edit|一班|10.0.0.9|0|1|||||||period week=星期三 "
      "row=1|{\"StartH\":[\"8\",\"9\"],\"ThName\":[\"\",\"李四(2)\"]}|\n"
      "2026-12-09T08:05:30|power|一班|10.0.0.5|0|1|||||||||on\n");
}

TEST_F(EventWriterTest, IdenticalLimitedDecisionsWithinAMinuteShareOneRow) {
  auto unknownCard = [] {
    return SwipeEvent("10.0.0.5", "一班", "9-9-9-9", "", "unknown-card", true);
  };
  for (int i = 0; i < 1000; ++i)
    writer_.record(unknownCard());
  // Counted into the row also after it was written, until a minute has passed.
  ASSERT_TRUE(writer_.writeQueued());
  for (int i = 0; i < 500; ++i)
    writer_.record(unknownCard());
  writer_.record(SwipeEvent("10.0.0.5", "一班", "8-8-8-8", "", "unknown-card", true));
  ASSERT_TRUE(writer_.writeQueued());
  clock_.advance(61s);
  writer_.record(unknownCard());
  // Commands are never merged, however alike.
  for (int i = 0; i < 2; ++i)
    writer_.record(CommandEvent("一班", "10.0.0.5", 20108, "power-on", "swipe", ""));
  ASSERT_TRUE(writer_.writeQueued());
  EXPECT_EQ(rows("card||' '||count"), "9-9-9-9 1500\n8-8-8-8 1\n9-9-9-9 1\n 1\n 1\n");
}

TEST_F(EventWriterTest, AFloodOfDifferentDecisionsAddsOneRowBeyondTheLimit) {
  for (int i = 0; i < 5000; ++i) {
    writer_.record(SwipeEvent("10.9." + std::to_string(i / 256) + "." + std::to_string(i % 256), "",
                              std::to_string(i), "", "unknown-controller", true));
  }
  ASSERT_TRUE(writer_.writeQueued());
  EXPECT_EQ(store_.value("select count(*) from tbl_events"), std::to_string(kMaxMergedKeys + 1));
  EXPECT_EQ(store_.value("select count from tbl_events where decision='suppressed'"),
            std::to_string(5000 - kMaxMergedKeys));
  EXPECT_EQ(store_.value("select sum(count) from tbl_events"), "5000");
}

TEST_F(EventWriterTest, ThreadRemovesOldEventsAndWritesWhatIsQueuedWhenStopped) {
  store_.exec(
      "Insert into tbl_events (time, kind) Values ('2025-11-04T08:05:29', 'power'), "
      "('2025-11-04T08:05:30', 'power')");
  EventWriter writer(clock_, store_.path(), {.keepDays = 400, .interval = 10ms});
  writer.start();
  writer.record(PowerEvent("10.0.0.5", "一班", false));
  writer.stop();
  // 400 days before 2026-12-09 08:05:30 is 2025-11-04 08:05:30: older rows go.
  EXPECT_EQ(rows("time||' '||power"), "2025-11-04T08:05:30 \n2026-12-09T08:05:30 off\n");
}

TEST_F(EventWriterTest, ThreadWaitsOutAnotherWriterWithoutLosingEvents) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(store_.path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  EventWriter writer(clock_, store_.path(), {.interval = 10ms});
  writer.start();
  writer.record(PowerEvent("10.0.0.5", "一班", true));
  std::this_thread::sleep_for(400ms);  // the writer's attempts against the lock; none is visible
  EXPECT_EQ(store_.value("select count(*) from tbl_events"), "0");
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  writer.stop();
  EXPECT_EQ(store_.value("select count(*) from tbl_events"), "1");
  EXPECT_EQ(writer.lost(), 0u);
}

TEST_F(EventWriterTest, ReportsAreKeptAtMostOnceAMinutePerClass) {
  writer_.noteReport("一班");
  ASSERT_TRUE(writer_.writeQueued());
  clock_.set(MakeLocalTime(2026, 12, 9, 8, 6, 0));
  clock_.advance(30s);
  writer_.noteReport("一班");
  writer_.noteReport("二班");
  ASSERT_TRUE(writer_.writeQueued());
  EXPECT_EQ(store_.column("select class||' '||time from tbl_last_report Order by class"),
            (std::vector<std::string>{"一班 2026-12-09T08:05:30", "二班 2026-12-09T08:06:00"}));
  clock_.advance(31s);
  writer_.noteReport("一班");
  ASSERT_TRUE(writer_.writeQueued());
  EXPECT_EQ(store_.value("select time from tbl_last_report where class='一班'"),
            "2026-12-09T08:06:00");
}

TEST_F(EventWriterTest, AStoreThatRefusesLosesTheBatchAndSaysSoOnce) {
  RecordingLines lines;
  EventWriter writer(clock_, store_.folder() + "/missing.db");
  for (int round = 0; round < 3; ++round) {
    writer.record(PowerEvent("10.0.0.5", "一班", true));
    writer.record(SwipeEvent("10.0.0.5", "一班", "1", "", "unknown-card", true));
    EXPECT_FALSE(writer.writeQueued());
  }
  EXPECT_EQ(writer.lost(), 6u);
  std::vector<std::string> said = lines.take();
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0].rfind("events: 2 not recorded: ", 0), 0u) << said[0];
}

}  // namespace
}  // namespace brenlow
