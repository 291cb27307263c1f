#include "schedule/run_schedule.h"

#include <gtest/gtest.h>

#include "controllers/controller_commands.h"
#include "net/ports.h"
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

constexpr const char* kPowerOn = "EB 00 01 01 00 A0 07 ED";
constexpr const char* kPowerOff = "EB 00 01 01 00 A1 07 ED";
constexpr const char* kShutdown = "73 68 75 74 64 6F 77";
using Sent = std::vector<std::string>;

// A class with its 35 blank periods, whose controller and PC are loopback receivers, and a
// teacher. Periods are set on Wednesday, 2024-03-06.
class RunScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", controller_);
    store_.exec("Update tblbj set PCIP=" + Quote(pc_));
    store_.exec(
        "Insert into tblThMes (Numb, Name, NameNumb, UseTime) Values "
        "('7', '张老师', '张老师(7)', '0')");
  }

  // Sets the n-th (0-6) Wednesday period of the class.
  void setPeriod(int n, const char* startH, const char* startM, const char* endH, const char* endM,
                 int autoOn, int autoOff, const char* teacher = "张老师(7)") {
    store_.exec("Update tblkcTime set StartH=" + Quote(startH) + ", StartM=" + Quote(startM) +
                ", EndH=" + Quote(endH) + ", EndM=" + Quote(endM) +
                ", AutoOn=" + std::to_string(autoOn) + ", AutoOff=" + std::to_string(autoOff) +
                ", ThName=" + Quote(teacher) +
                " where ID=(select ID from tblkcTime where BJName='一班' and Week='星期三' "
                "Order by ID limit 1 offset " +
                std::to_string(n) + ")");
  }

  // Runs the scheduler's minute at hour:minute of the day, by default a Wednesday.
  void runAt(int hour, int minute, int day = 6) {
    RunSchedule(store_.store(), MakeLocalTime(2024, 3, day, hour, minute));
  }

  // 张老师's running total.
  std::string useTime() { return store_.value("select UseTime from tblThMes where Numb='7'"); }

  TempDatabase store_;
  RecordingMessages messages_;
  const std::string controller_ = LoopbackAddress(1);
  const std::string pc_ = LoopbackAddress(2);
  CommandCapture controllerCapture_{controller_, kControllerPort};
  CommandCapture pcCapture_{pc_, kPcShutdownPort};
};

TEST_F(RunScheduleTest, PeriodPowersOnCreditsAndPowersOffAtItsMinutes) {
  setPeriod(2, "10", "0", "10", "45", 1, 1);
  store_.exec("Update tblbj set Status=1");
  Sent controllerMinutes;
  Sent pcMinutes;
  std::string creditedAt;
  for (int minute = 599; minute <= 646; ++minute) {
    runAt(minute / 60, minute % 60);
    for (const std::string& sent : controllerCapture_.taken()) {
      controllerMinutes.push_back(std::to_string(minute) + " " + sent);
    }
    for (const std::string& sent : pcCapture_.taken()) {
      pcMinutes.push_back(std::to_string(minute) + " " + sent);
    }
    if (creditedAt.empty() && useTime() != "0")
      creditedAt = std::to_string(minute);
  }
  EXPECT_EQ(controllerMinutes,
            (Sent{std::string("600 ") + kPowerOn, std::string("645 ") + kPowerOff}));
  EXPECT_EQ(pcMinutes, Sent{std::string("645 ") + kShutdown});
  EXPECT_EQ(creditedAt, "603");
  EXPECT_EQ(useTime(), "45");
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(RunScheduleTest, EachCreditAddsToTheTeachersRowOfThatClassAndDay) {
  setPeriod(0, "8", "0", "8", "45", 0, 0);
  setPeriod(1, "9", "0", "9", "45", 0, 0);
  store_.exec("Update tblbj set Status=1");
  runAt(8, 3);
  runAt(9, 3);
  // The same period a week later is a day of its own.
  runAt(8, 3, 13);
  EXPECT_EQ(store_.column("select teacher_Numb || ' ' || teacher_Name || ' ' || class_Name || ' ' "
                          "|| date_day || ' ' || use_time from tbl_teacher_usetime Order by ID"),
            (Sent{"7 张老师 一班 2024-03-06 90", "7 张老师 一班 2024-03-13 45"}));
  EXPECT_EQ(useTime(), "135");
}

TEST_F(RunScheduleTest, UseTimeNeedsTheClassPoweredAtStartPlusThree) {
  setPeriod(0, "8", "0", "8", "45", 0, 0);
  runAt(8, 3);
  store_.exec("Update tblbj set Status=1");
  runAt(8, 4);
  EXPECT_EQ(useTime(), "0");
}

TEST_F(RunScheduleTest, LeadingZerosActLikeTheNumbers) {
  setPeriod(0, "08", "05", "08", "45", 1, 1);
  store_.exec("Update tblbj set Status=1");
  runAt(8, 5);
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOn});
  runAt(8, 8);
  EXPECT_EQ(useTime(), "45");
  runAt(8, 45);
  EXPECT_EQ(pcCapture_.taken(), Sent{kShutdown});
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOff});
}

TEST_F(RunScheduleTest, NothingHappensOnSaturdayOrSunday) {
  setPeriod(0, "8", "0", "8", "45", 1, 1);
  // Rows with those weekday texts, which the editor never writes, change nothing.
  store_.exec(
      "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, AutoOn, AutoOff) "
      "Values ('一班', '星期六', '8', '0', '8', '45', 1, 1), "
      "('一班', '星期天', '8', '0', '8', '45', 1, 1)");
  for (int day : {9, 10}) {
    runAt(8, 0, day);
    runAt(8, 45, day);
  }
  EXPECT_TRUE(controllerCapture_.taken().empty());
  EXPECT_TRUE(pcCapture_.taken().empty());
  runAt(8, 0, 6);
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOn});
}

TEST_F(RunScheduleTest, UnusableRowsArePassedOverAndLaterRowsStillAct) {
  store_.exec("Update tblbj set Status=1");
  setPeriod(0, "8", "0", "8", "", 1, 1);                 // an empty text: the row does nothing
  setPeriod(1, "8:00", " ", "9", "0", 1, 0);             // reads as 8 and 0 for the command only
  setPeriod(2, "8", "0", "8", "45", 0, 0, "张老师(7)");  // the later row that credits
  runAt(8, 0);
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOn});
  runAt(8, 3);
  EXPECT_EQ(useTime(), "45");
  runAt(0, 3);  // the blank periods start at "minute 0" but are never credited
  EXPECT_EQ(useTime(), "45");
  EXPECT_TRUE(messages_.texts().empty());
}

// Calendar entries: a whole-school day off, a make-up Saturday and a class's own day off.
class CalendarScheduleTest : public RunScheduleTest {
 protected:
  void SetUp() override {
    RunScheduleTest::SetUp();
    store_.addClass("二班", otherController_);
    setPeriod(0, "8", "0", "8", "45", 1, 1);
    store_.exec(
        "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', AutoOn=1, AutoOff=1, "
        "ThName='张老师(7)' where ID=(select ID from tblkcTime where BJName='二班' and "
        "Week='星期三' Order by ID limit 1)");
    store_.exec("Update tblbj set Status=1");
  }

  void addEntry(const char* date, const char* kind, const char* weekday,
                const char* className = "") {
    store_.exec(std::string("Insert into tbl_calendar (date_day, kind, weekday, class_Name, "
                            "note) Values ('") +
                date + "', '" + kind + "', '" + weekday + "', '" + className + "', '')");
  }

  // What the class's controller received at the period's start, credit and end minutes.
  struct Day {
    Sent atStart, atEnd;
    std::string useTime;
  };
  Day runPeriod(int day) {
    Day seen;
    runAt(8, 0, day);
    seen.atStart = controllerCapture_.taken();
    runAt(8, 3, day);
    seen.useTime = useTime();
    runAt(8, 45, day);
    seen.atEnd = controllerCapture_.taken();
    return seen;
  }

  const std::string otherController_ = LoopbackAddress(3);
  CommandCapture otherCapture_{otherController_, kControllerPort};
};

TEST_F(CalendarScheduleTest, ADayOffPowersNothingOnAndCreditsNothingButPowersOff) {
  addEntry("2024-03-06", "off", "");
  const Day day = runPeriod(6);
  EXPECT_TRUE(day.atStart.empty());
  EXPECT_EQ(day.useTime, "0");
  EXPECT_EQ(day.atEnd, Sent{kPowerOff});
  EXPECT_EQ(pcCapture_.taken(), Sent{kShutdown});
  EXPECT_EQ(store_.value("select count(*) from tbl_teacher_usetime"), "0");
}

TEST_F(CalendarScheduleTest, AMakeUpSaturdayRunsTheFollowedWeekdayWithItsOwnDate) {
  addEntry("2024-03-09", "follows", "星期三");
  const Day day = runPeriod(9);
  EXPECT_EQ(day.atStart, Sent{kPowerOn});
  EXPECT_EQ(day.useTime, "90");  // both classes' periods are 张老师's
  EXPECT_EQ(day.atEnd, Sent{kPowerOff});
  EXPECT_EQ(store_.column("select class_Name || ' ' || date_day || ' ' || use_time from "
                          "tbl_teacher_usetime Order by ID"),
            (Sent{"一班 2024-03-09 45", "二班 2024-03-09 45"}));
  EXPECT_EQ(otherCapture_.taken(), (Sent{kPowerOn, kPowerOff}));
  // The next Saturday, without an entry, stays a weekend.
  const Day weekend = runPeriod(16);
  EXPECT_TRUE(weekend.atStart.empty() && weekend.atEnd.empty());
  EXPECT_TRUE(otherCapture_.taken().empty());
  EXPECT_EQ(weekend.useTime, "90");
}

TEST_F(CalendarScheduleTest, AClassOwnDayOffLeavesTheOtherClassesRunning) {
  addEntry("2024-03-06", "off", "", "一班");
  const Day day = runPeriod(6);
  EXPECT_TRUE(day.atStart.empty());
  EXPECT_EQ(day.atEnd, Sent{kPowerOff});
  EXPECT_EQ(otherCapture_.taken(), (Sent{kPowerOn, kPowerOff}));
  EXPECT_EQ(store_.column("select class_Name from tbl_teacher_usetime"), Sent{"二班"});
}

TEST_F(CalendarScheduleTest, AClassOffOnAMakeUpDaySendsTheFollowedWeekdaysPowerOffs) {
  addEntry("2024-03-09", "follows", "星期三");
  addEntry("2024-03-09", "off", "", "一班");
  const Day day = runPeriod(9);
  EXPECT_TRUE(day.atStart.empty());
  EXPECT_EQ(day.atEnd, Sent{kPowerOff});
  EXPECT_EQ(otherCapture_.taken(), (Sent{kPowerOn, kPowerOff}));
}

// One-day changes on Wednesday the 6th: 张老师's 8:00 period has a substitute, 李老师; in
// 二班 the same period is cancelled. The 13th, a week later, has no change.
class DayChangeScheduleTest : public CalendarScheduleTest {
 protected:
  void SetUp() override {
    CalendarScheduleTest::SetUp();
    store_.addTeacher("8", "李老师");
    store_.exec(
        "Insert into tbl_day_change (date_day, class_Name, period, kind, teacher_Numb) Values "
        "('2024-03-06', '一班', 1, 'substitute', '8'), ('2024-03-06', '二班', 1, 'cancelled', "
        "'')");
  }

  std::vector<std::string> usageRows() {
    return store_.column(
        "select teacher_Numb || ' ' || class_Name || ' ' || date_day || ' ' || use_time from "
        "tbl_teacher_usetime Order by ID");
  }
  std::string useTimeOf(const char* number) {
    return store_.value(std::string("select UseTime from tblThMes where Numb=") + Quote(number));
  }

  RecordingLines log_;
};

TEST_F(DayChangeScheduleTest, TheSubstituteIsCreditedAndACancelledPeriodIsOnlyPoweredOff) {
  const Day day = runPeriod(6);
  EXPECT_EQ(day.atStart, Sent{kPowerOn});  // the substitute's lesson runs as timetabled
  EXPECT_EQ(day.atEnd, Sent{kPowerOff});
  EXPECT_EQ(otherCapture_.taken(), Sent{kPowerOff});  // cancelled: powered off only
  EXPECT_EQ(useTimeOf("8"), "45");
  EXPECT_EQ(useTimeOf("7"), "0");
  EXPECT_EQ(usageRows(), Sent{"8 一班 2024-03-06 45"});
  std::vector<std::string> credits;
  for (const std::string& line : log_.take()) {
    if (line.rfind("credit ", 0) == 0)
      credits.push_back(line);
  }
  EXPECT_EQ(credits, Sent{"credit class=一班 teacher=李老师(8) minutes=45 reason=period-start "
                          "08:00 substitute for 张老师(7)"});

  // The next Wednesday behaves as before.
  const Day next = runPeriod(13);
  EXPECT_EQ(next.atStart, Sent{kPowerOn});
  EXPECT_EQ(otherCapture_.taken(), (Sent{kPowerOn, kPowerOff}));
  EXPECT_EQ(useTimeOf("7"), "90");
  EXPECT_EQ(useTimeOf("8"), "45");
}

}  // namespace
}  // namespace brenlow
