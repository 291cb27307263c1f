#include "controllers/controller_listener.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <time.h>

#include <mutex>
#include <thread>

#include "controllers/controller_commands.h"
#include "controllers/controller_datagram.h"
#include "core/clock.h"
#include "core/shared_state.h"
#include "net/ports.h"
#include "support/recording_lines.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::CommandCapture;
using testing::HexBytes;
using testing::LoopbackAddress;
using testing::Quote;
using testing::RecordingLines;
using testing::TempDatabase;

constexpr const char* kPowerOn = "EB 00 01 01 00 A0 07 ED";
constexpr const char* kCardPowerOff = "EB 00 01 00 00 A1 07 ED";
// A card whose first byte has bit 0x40 clear reports the room off; 0x41 reports it on.
constexpr CardBytes kCardRoomOff = {1, 2, 3, 4};
constexpr CardBytes kCardRoomOn = {65, 2, 3, 4};

// A listener on an ephemeral loopback port with a fresh store, and fake controllers that send
// to it from their own loopback addresses. The clock starts on Wednesday 2024-03-06 08:00.
class ControllerListenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(listener_.bind("127.0.0.1", 0, &error)) << error;
    thread_ = std::jthread([this](std::stop_token stop) { listener_.run(stop); });
  }

  // Sends bytes from the controller at address and waits until the listener has taken them.
  void send(const std::string& from, const Bytes& bytes) {
    Socket controller = Socket::BindUdp(from, 0, nullptr);
    ASSERT_TRUE(controller.isOpen());
    uint64_t before = listener_.datagramsReceived();
    ASSERT_EQ(controller.sendTo("127.0.0.1", listener_.port(), bytes.data(), bytes.size(), nullptr),
              static_cast<long>(bytes.size()));
    ASSERT_TRUE(testing::WaitFor([&] { return listener_.datagramsReceived() != before; }))
        << "listener took nothing";
  }

  void swipe(const std::string& from, const CardBytes& card) { send(from, CardDatagram(card)); }

  std::string status(const std::string& className) {
    return store_.value("select Status from tblbj where Name=" + Quote(className));
  }

  // A period of the teacher in the class on a weekday, with times as the editor stores them.
  void addPeriod(const std::string& className, const std::string& week, const std::string& teacher,
                 const char* startH, const char* startM, const char* endH, const char* endM) {
    store_.exec(
        "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values (" +
        Quote(className) + "," + Quote(week) + "," + Quote(startH) + "," + Quote(startM) + "," +
        Quote(endH) + "," + Quote(endM) + "," + Quote(teacher) + ")");
  }

  RecordingLines log_;  // first: outlives the listener thread
  TempDatabase store_;
  ManualClock clock_{MakeLocalTime(2024, 3, 6, 8, 0)};
  ControllerListener listener_{clock_, store_.store()};
  std::jthread thread_;  // last: stops and joins before the rest goes
};

TEST_F(ControllerListenerTest, StatusFollowsBit0x40OfEveryControllerDatagramOnly) {
  const std::string controller = LoopbackAddress(10);
  store_.addClass("一班", controller);
  store_.addClass("二班", LoopbackAddress(11));
  struct Step {
    const char* bytes;
    const char* status;
  };
  const Step steps[] = {
      {"EB 00 00 00 40", "1"},
      {"EB 00 00 00 00", "0"},
      {"7E 00 00 00 40", "0"},                    // not a controller datagram
      {"EB 00 00 00", "0"},                       // too short for the power state
      {"EB 66 01 DD 41 02 03 04", "1"},           // a card datagram reports the state too
      {"EB 66 01 DD 01 02 03 04 00 00 00", "0"},  // so does a longer one
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.bytes);
    send(controller, HexBytes(step.bytes));
    EXPECT_EQ(status("一班"), step.status);
  }
  // 25 bytes is over the limit: ignored whole.
  Bytes tooLong = HexBytes("EB 66 01 DD 41 02 03 04");
  tooLong.resize(25, 0);
  send(controller, tooLong);
  EXPECT_EQ(status("一班"), "0");
  tooLong.resize(24);
  send(controller, tooLong);
  EXPECT_EQ(status("一班"), "1");
  EXPECT_EQ(status("二班"), "0");
  // A Status nobody can read is written like any other.
  store_.exec("Update tblbj set Status=NULL where Name='二班'");
  send(LoopbackAddress(11), HexBytes("EB 00 00 00 00"));
  EXPECT_EQ(status("二班"), "0");
}

TEST_F(ControllerListenerTest, OpenTeacherListReceivesEveryCardNumberFirst) {
  std::mutex mutex;
  std::vector<std::string> received;
  SetCardNumberReceiver([&](const std::string& card) {
    std::lock_guard lock(mutex);
    received.push_back(card);
  });
  const std::string unknownController = LoopbackAddress(12);
  teacherDialogOpen = 1;
  swipe(unknownController, {0x0C, 0xFF, 0x00, 0x2D});
  Bytes tooLong = CardDatagram({9, 9, 9, 9});
  tooLong.resize(25, 0);
  send(unknownController, tooLong);
  send(unknownController, HexBytes("EB 66 01 DD 0C FF 00"));
  teacherDialogOpen = 0;
  swipe(unknownController, {7, 7, 7, 7});
  SetCardNumberReceiver(nullptr);
  std::lock_guard lock(mutex);
  EXPECT_EQ(received, std::vector<std::string>{"12-255-0-45"});
}

TEST_F(ControllerListenerTest, TeachersSwipeDuringTheirPeriodPowersTheRoomOn) {
  const std::string controller = LoopbackAddress(13);
  store_.addClass("一班", controller);
  store_.addTeacher("1-2-3-4", "张老师");
  addPeriod("一班", "星期三", "张老师(1-2-3-4)", "8", "0", "8", "45");
  CommandCapture capture(controller, kControllerPort);
  struct Case {
    int hour, minute;
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {7, 59, {}}, {8, 0, {kPowerOn}}, {8, 44, {kPowerOn}}, {8, 44, {kPowerOn}}, {8, 45, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
    clock_.set(MakeLocalTime(2024, 3, 6, c.hour, c.minute, 30));
    swipe(controller, kCardRoomOff);
    EXPECT_EQ(status("一班"), "0");
    EXPECT_EQ(capture.taken(), c.sent);
  }
}

TEST_F(ControllerListenerTest, SwipeDoesNothingForAnotherTeacherClassOrDay) {
  const std::string controller = LoopbackAddress(14);
  const std::string otherController = LoopbackAddress(15);
  store_.addClass("一班", controller);
  store_.addClass("二班", otherController);
  store_.addTeacher("1-2-3-4", "张老师");
  store_.addTeacher("5-6-7-8", "李老师");
  addPeriod("一班", "星期三", "张老师(1-2-3-4)", "08", "00", "08", "45");
  CommandCapture capture(controller, kControllerPort);
  CommandCapture otherCapture(otherController, kControllerPort);

  swipe(controller, {5, 6, 7, 8});               // another teacher
  swipe(controller, {9, 9, 9, 9});               // a card nobody has
  swipe(otherController, kCardRoomOff);          // the teacher, at a class without their period
  clock_.set(MakeLocalTime(2024, 3, 7, 8, 10));  // Thursday
  swipe(controller, kCardRoomOff);
  clock_.set(MakeLocalTime(2024, 3, 10, 8, 10));  // Sunday: "星期天"
  swipe(controller, kCardRoomOff);
  EXPECT_TRUE(capture.taken().empty());
  EXPECT_TRUE(otherCapture.taken().empty());

  clock_.set(MakeLocalTime(2024, 3, 6, 8, 10));  // and the teacher's own period still works
  swipe(controller, kCardRoomOff);
  EXPECT_EQ(capture.taken(), std::vector<std::string>{kPowerOn});
}

TEST_F(ControllerListenerTest, SwipesFollowTheCalendarsPlanOfTheDay) {
  const std::string controller = LoopbackAddress(16);
  store_.addClass("一班", controller);
  store_.addTeacher("1-2-3-4", "张老师");
  store_.addTeacher("5-6-7-8", "李老师");
  addPeriod("一班", "星期三", "张老师(1-2-3-4)", "8", "0", "8", "45");
  addPeriod("一班", "星期六", "李老师(5-6-7-8)", "8", "0", "8", "45");  // never a school day
  store_.exec(
      "Insert into tbl_calendar (date_day, kind, weekday, class_Name, note) Values "
      "('2024-03-09', 'follows', '星期三', '', ''), ('2024-03-13', 'off', '', '', '考试')");
  CommandCapture capture(controller, kControllerPort);
  struct Case {
    const char* what;
    int day;
    CardBytes card;
    std::vector<std::string> sent;
  };
  const Case cases[] = {
      {"a Saturday that follows Wednesday: its teacher", 9, kCardRoomOff, {kPowerOn}},
      {"the same Saturday: a teacher of Saturday's rows", 9, {5, 6, 7, 8}, {}},
      {"a Saturday without an entry", 16, kCardRoomOff, {}},
      {"a Wednesday off: the teacher still opens the room", 13, kCardRoomOff, {kPowerOn}},
  };
  for (const Case& c : cases) {
    clock_.set(MakeLocalTime(2024, 3, c.day, 8, 10));
    swipe(controller, c.card);
    EXPECT_EQ(capture.taken(), c.sent) << c.what;
  }
}

// Wednesday the 6th: 张老师's 8:00 period in 一班 has 李老师 as substitute; 王老师's 9:00 period
// is cancelled. The 13th has no change.
TEST_F(ControllerListenerTest, OneDayChangesDecideWhoseCardOpensThePeriod) {
  const std::string controller = LoopbackAddress(21);
  store_.addClass("一班", controller);
  store_.addTeacher("1-2-3-4", "张老师");
  store_.addTeacher("5-6-7-8", "李老师");
  store_.addTeacher("9-9-9-9", "王老师");
  // The class's first two Wednesday periods, as the editor fills them in.
  store_.exec(
      "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', ThName='张老师(1-2-3-4)' "
      "where ID=(select ID from tblkcTime where Week='星期三' Order by ID limit 1)");
  store_.exec(
      "Update tblkcTime set StartH='9', StartM='0', EndH='9', EndM='45', ThName='王老师(9-9-9-9)' "
      "where ID=(select ID from tblkcTime where Week='星期三' Order by ID limit 1 offset 1)");
  store_.exec(
      "Insert into tbl_day_change (date_day, class_Name, period, kind, teacher_Numb) Values "
      "('2024-03-06', '一班', 1, 'substitute', '5-6-7-8'), ('2024-03-06', '一班', 2, "
      "'cancelled', '')");
  CommandCapture capture(controller, kControllerPort);
  const std::string from = " from=" + controller + " class=一班 decision=";
  struct Case {
    int day, hour;
    CardBytes card;
    std::vector<std::string> sent;
    std::string logged;
  };
  const Case cases[] = {
      {6,
       8,
       {5, 6, 7, 8},
       {kPowerOn},
       "command power-on class=一班 to=" + controller +
           ":20108 reason=swipe teacher=5-6-7-8 substitute for 张老师(1-2-3-4)"},
      {6, 8, kCardRoomOff, {}, "swipe card=1-2-3-4" + from + "substituted by 李老师(5-6-7-8)"},
      {6, 9, {9, 9, 9, 9}, {}, "swipe card=9-9-9-9" + from + "period-cancelled"},
      {6, 9, {5, 6, 7, 8}, {}, "swipe card=5-6-7-8" + from + "period-cancelled"},
      {13,
       8,
       kCardRoomOff,
       {kPowerOn},
       "command power-on class=一班 to=" + controller + ":20108 reason=swipe teacher=1-2-3-4"},
      {13, 8, {5, 6, 7, 8}, {}, "swipe card=5-6-7-8" + from + "no-period-now"},
      {13,
       9,
       {9, 9, 9, 9},
       {kPowerOn},
       "command power-on class=一班 to=" + controller + ":20108 reason=swipe teacher=9-9-9-9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logged);
    clock_.set(MakeLocalTime(2024, 3, c.day, c.hour, 10));
    log_.take();
    swipe(controller, c.card);
    EXPECT_EQ(capture.taken(), c.sent);
    EXPECT_EQ(log_.take(), std::vector<std::string>{c.logged});
  }
}

TEST_F(ControllerListenerTest, EverySwipeDecisionWritesOneLogLine) {
  const std::string controller = LoopbackAddress(19);
  const std::string stranger = LoopbackAddress(20);
  store_.addClass("一班", controller);
  store_.addTeacher("1-2-3-4", "张老师");
  store_.addTeacher("65-2-3-4", "李老师");
  addPeriod("一班", "星期三", "张老师(1-2-3-4)", "8", "0", "8", "45");
  addPeriod("一班", "星期三", "李老师(65-2-3-4)", "8", "0", "8", "45");
  CommandCapture capture(controller, kControllerPort);
  clock_.set(MakeLocalTime(2024, 3, 6, 8, 10, 0));
  log_.take();

  const std::string from = " from=" + controller + " class=一班 decision=";
  swipe(stranger, kCardRoomOff);
  swipe(controller, {9, 9, 9, 9});
  swipe(controller, kCardRoomOff);
  clock_.set(MakeLocalTime(2024, 3, 6, 9, 0, 0));
  swipe(controller, kCardRoomOff);
  clock_.set(MakeLocalTime(2024, 3, 6, 8, 20, 0));
  for (int i = 0; i < 3; ++i) {
    swipe(controller, kCardRoomOn);
    clock_.advance(3s);
  }
  for (int i = 0; i < 3; ++i) {
    swipe(controller, kCardRoomOn);
    clock_.advance(1s);
  }
  EXPECT_EQ(log_.take(), (std::vector<std::string>{
                             "swipe card=1-2-3-4 from=" + stranger + " decision=unknown-controller",
                             "swipe card=9-9-9-9" + from + "unknown-card",
                             "command power-on class=一班 to=" + controller +
                                 ":20108 reason=swipe teacher=1-2-3-4",
                             "swipe card=1-2-3-4" + from + "no-period-now",
                             "swipe card=65-2-3-4" + from + "counted 1 of 3",
                             "swipe card=65-2-3-4" + from + "counted 2 of 3",
                             "swipe card=65-2-3-4" + from + "counted 1 of 3 after too-slow 6.0 s",
                             "swipe card=65-2-3-4" + from + "counted 2 of 3",
                             "command card-power-off class=一班 to=" + controller +
                                 ":20108 reason=swipe teacher=65-2-3-4",
                             "swipe card=65-2-3-4" + from + "counted 1 of 3",
                         }));
  EXPECT_EQ(capture.taken(), (std::vector<std::string>{kPowerOn, kCardPowerOff}));
}

TEST_F(ControllerListenerTest, IdlesWithoutCpuAndStopsWithinMilliseconds) {
  clockid_t cpuClock;
  ASSERT_EQ(pthread_getcpuclockid(thread_.native_handle(), &cpuClock), 0);
  auto cpuNow = [&] {
    timespec time{};
    clock_gettime(cpuClock, &time);
    return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
  };
  send(LoopbackAddress(18), HexBytes("EB 00 00 00 40"));  // running and past its start
  auto cpuBefore = cpuNow();
  std::this_thread::sleep_for(500ms);  // idle time to measure: nothing to wait for
  EXPECT_LT(cpuNow() - cpuBefore, 5ms);
  auto asked = std::chrono::steady_clock::now();
  thread_.request_stop();
  thread_.join();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 100ms);
}

// The teacher of the period at both classes, whose rooms report themselves on.
class ThreeSwipeTest : public ControllerListenerTest {
 protected:
  void SetUp() override {
    ControllerListenerTest::SetUp();
    store_.addClass("一班", first_);
    store_.addClass("二班", second_);
    store_.addTeacher("65-2-3-4", "张老师");
    addPeriod("一班", "星期三", "张老师(65-2-3-4)", "8", "0", "8", "45");
    addPeriod("二班", "星期三", "张老师(65-2-3-4)", "8", "0", "8", "45");
    clock_.set(MakeLocalTime(2024, 3, 6, 8, 10, 58));
  }

  void swipeAfter(const std::string& controller, std::chrono::seconds pause) {
    clock_.advance(pause);
    swipe(controller, kCardRoomOn);
  }

  const std::string first_ = LoopbackAddress(16);
  const std::string second_ = LoopbackAddress(17);
  CommandCapture firstCapture_{first_, kControllerPort};
  CommandCapture secondCapture_{second_, kControllerPort};
};

TEST_F(ThreeSwipeTest, ThreeQuickSwipesAtOneControllerSendOneCardPowerOff) {
  swipeAfter(first_, 0s);
  swipeAfter(first_, 2s);
  EXPECT_TRUE(firstCapture_.taken().empty());
  swipeAfter(first_, 3s);  // 5 s after the first
  EXPECT_EQ(firstCapture_.taken(), std::vector<std::string>{kCardPowerOff});
  EXPECT_EQ(status("一班"), "1");  // the room reports itself off later, by its own datagram
  // The count starts again: the next two swipes switch nothing, the third does.
  swipeAfter(first_, 1s);
  swipeAfter(first_, 1s);
  EXPECT_TRUE(firstCapture_.taken().empty());
  swipeAfter(first_, 1s);
  EXPECT_EQ(firstCapture_.taken(), std::vector<std::string>{kCardPowerOff});
  EXPECT_TRUE(secondCapture_.taken().empty());
}

TEST_F(ThreeSwipeTest, SwipesSpreadOverTwoControllersSwitchNothing) {
  swipeAfter(first_, 0s);
  swipeAfter(second_, 1s);
  swipeAfter(first_, 1s);
  swipeAfter(second_, 1s);
  EXPECT_TRUE(firstCapture_.taken().empty());
  EXPECT_TRUE(secondCapture_.taken().empty());
}

// A series lasts 5 s from its first swipe; a later swipe begins the next series.
TEST_F(ThreeSwipeTest, ASwipeMoreThanFiveSecondsAfterItsSeriesBeganStartsANewSeries) {
  swipeAfter(first_, 0s);  // a stray swipe while the room was on
  swipeAfter(first_, 6s);
  swipeAfter(first_, 1s);
  EXPECT_TRUE(firstCapture_.taken().empty());
  swipeAfter(first_, 1s);
  EXPECT_EQ(firstCapture_.taken(), std::vector<std::string>{kCardPowerOff});

  swipeAfter(first_, 60s);
  swipeAfter(first_, 3s);
  swipeAfter(first_, 3s);  // 6 s after the first: the first of a new series
  EXPECT_TRUE(firstCapture_.taken().empty());
  swipeAfter(first_, 1s);
  swipeAfter(first_, 1s);
  EXPECT_EQ(firstCapture_.taken(), std::vector<std::string>{kCardPowerOff});
}

}  // namespace
}  // namespace brenlow
