// Catching up after an outage, under the manual clock: a server whose last acted minute was
// 08:40 starts with the clock at 09:10 on a Wednesday.
#include "schedule/catch_up.h"

#include <gtest/gtest.h>

#include "net/ports.h"
#include "schedule/minute_scheduler.h"
#include "support/recording_lines.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using testing::CommandCapture;
using testing::LoopbackAddress;
using testing::Quote;
using testing::RecordingLines;
using testing::RecordingMessages;
using testing::TempDatabase;
using Sent = std::vector<std::string>;

constexpr const char* kPowerOn = "EB 00 01 01 00 A0 07 ED";
constexpr const char* kPowerOff = "EB 00 01 01 00 A1 07 ED";
constexpr const char* kShutdown = "73 68 75 74 64 6F 77";

// 一班's lesson 08:00-08:45 ended in the gap. 二班's ended too, but its next one (09:00-09:45,
// AutoOn) began in the gap and runs at 09:10; its teacher would be credited at 09:03.
class CatchUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", LoopbackAddress(1));
    store_.addClass("二班", LoopbackAddress(3));
    store_.exec("Update tblbj set PCIP=" + Quote(LoopbackAddress(2)) + " where Name='一班'");
    store_.exec("Update tblbj set PCIP=" + Quote(LoopbackAddress(4)) +
                ", Status=1 where Name='二班'");
    store_.addTeacher("7", "张老师");
    setPeriod("一班", 0, "8", "0", "8", "45");
    setPeriod("二班", 0, "8", "0", "8", "45");
    setPeriod("二班", 1, "9", "0", "9", "45");
  }

  void setPeriod(const std::string& className, int n, const char* startH, const char* startM,
                 const char* endH, const char* endM) {
    store_.exec("Update tblkcTime set StartH=" + Quote(startH) + ", StartM=" + Quote(startM) +
                ", EndH=" + Quote(endH) + ", EndM=" + Quote(endM) +
                ", AutoOn=1, AutoOff=1, ThName='张老师(7)' where ID=(select ID from tblkcTime "
                "where BJName=" +
                Quote(className) + " and Week='星期三' Order by ID limit 1 offset " +
                std::to_string(n) + ")");
  }

  // Starts a scheduler as the program does, with the minute kept by the run before, and lets
  // it tick at 09:10 on the day given (6: Wednesday 2024-03-06).
  void startAt(const std::string& kept, CatchUpPolicy policy, int day = 6) {
    store_.exec("Insert into tbl_server_state (name, value) Values ('last_acted_minute', " +
                Quote(kept) + ")");
    clock_.set(MakeLocalTime(2024, 3, day, 9, 10));
    MinuteScheduler scheduler(clock_, store_.store(), policy);
    scheduler.tick();
  }

  Sent sent() {
    Sent all;
    for (auto* capture : {&controller1_, &pc1_, &controller2_, &pc2_}) {
      for (const std::string& datagram : capture->taken())
        all.push_back(std::to_string(capture == &controller1_ || capture == &pc1_ ? 1 : 2) + " " +
                      datagram);
    }
    return all;
  }

  TempDatabase store_;
  RecordingMessages messages_;
  RecordingLines lines_;
  ManualClock clock_;
  CommandCapture controller1_{LoopbackAddress(1), kControllerPort};
  CommandCapture pc1_{LoopbackAddress(2), kPcShutdownPort};
  CommandCapture controller2_{LoopbackAddress(3), kControllerPort};
  CommandCapture pc2_{LoopbackAddress(4), kPcShutdownPort};
};

TEST_F(CatchUpTest, EachPolicySendsWhatTheGapMissed) {
  struct Case {
    CatchUpPolicy policy;
    Sent expected;
  };
  for (const Case& c : {Case{CatchUpPolicy::kPowerOff,
                             {std::string("1 ") + kPowerOff, std::string("1 ") + kShutdown}},
                        Case{CatchUpPolicy::kAll,
                             {std::string("1 ") + kPowerOff, std::string("1 ") + kShutdown,
                              std::string("2 ") + kPowerOn}},
                        Case{CatchUpPolicy::kOff, {}}}) {
    store_.exec("Delete from tbl_server_state");
    lines_.take();
    startAt("2024-03-06 08:40", c.policy);
    EXPECT_EQ(sent(), c.expected) << CatchUpPolicyText(c.policy);
    std::vector<std::string> said = lines_.take();
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said[0], std::string("catch-up: minutes 08:41 to 09:09 of 2024-03-06 were missed; "
                                   "policy ") +
                           CatchUpPolicyText(c.policy));
    for (const std::string& line : said) {
      if (line.rfind("command ", 0) == 0) {
        EXPECT_NE(line.find(" reason=catch-up"), std::string::npos) << line;
      }
    }
    // The use time of the gap is never credited; the tick's minute is kept.
    EXPECT_EQ(store_.value("select count(*) from tbl_teacher_usetime"), "0");
    EXPECT_EQ(store_.value("select value from tbl_server_state where name='last_acted_minute'"),
              "2024-03-06 09:10");
  }
}

TEST_F(CatchUpTest, NothingIsCaughtUpAcrossMidnightOrBehindTheClock) {
  for (const std::string kept : {"2024-03-06 08:40", "2024-03-06 09:30", "garbage"}) {
    store_.exec("Delete from tbl_server_state");
    // Thursday: the day after the kept minute.
    startAt(kept, CatchUpPolicy::kAll, kept == "2024-03-06 08:40" ? 7 : 6);
    EXPECT_EQ(sent(), Sent{}) << kept;
  }
  std::vector<std::string> said = lines_.take();
  EXPECT_EQ(said, (std::vector<std::string>{
                      "catch-up: the last minute acted on (2024-03-06 08:40) was another day: "
                      "nothing caught up",
                      "catch-up: the clock (2024-03-06 09:10) is behind the last minute acted on "
                      "(2024-03-06 09:30): nothing caught up"}));
}

TEST_F(CatchUpTest, AMinuteActedOnBeforeTheRestartIsNotActedOnAgain) {
  setPeriod("一班", 1, "9", "10", "9", "55");
  startAt("2024-03-06 09:10", CatchUpPolicy::kAll);
  EXPECT_EQ(sent(), Sent{});
  store_.exec("Delete from tbl_server_state");
  startAt("2024-03-06 09:09", CatchUpPolicy::kAll);
  EXPECT_EQ(sent(), Sent{std::string("1 ") + kPowerOn});
}

}  // namespace
}  // namespace brenlow
