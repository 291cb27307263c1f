// The real brenlow, headless, with a substitute written by the real brenlow-admin for the period
// running now: the substitute's card from brenlow-controller powers the room on, the absent
// teacher's does not, and the server's log says why.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/clock.h"
#include "core/weekdays.h"
#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Program;
using testing::Quote;
using testing::TempDatabase;
using testing::ToolPath;

TEST(DayChangeProgram, TheSubstitutesCardOpensThePeriodAndTheAbsentTeachersDoesNot) {
  const LocalTime now = SystemClock().now();
  const int start = now.minutesSinceMidnight() - 1;
  const int end = now.minutesSinceMidnight() + 5;
  if (SchoolWeekdayText(now.weekday) == nullptr || start < 0 || end >= 24 * 60)
    GTEST_SKIP() << "no school period fits around now";
  TempDatabase store;
  const std::string controller = LoopbackAddress(41);
  store.addClass("一班", controller);
  store.addTeacher("1-2-3-4", "张老师");
  store.addTeacher("5-6-7-8", "李老师");
  // Today's first period, running now, is 张老师's.
  store.exec("Update tblkcTime set StartH=" + Quote(std::to_string(start / 60)) + ", StartM=" +
             Quote(std::to_string(start % 60)) + ", EndH=" + Quote(std::to_string(end / 60)) +
             ", EndM=" + Quote(std::to_string(end % 60)) +
             ", ThName='张老师(1-2-3-4)' where ID=(select ID from tblkcTime where Week=" +
             Quote(SchoolWeekdayText(now.weekday)) + " Order by ID limit 1)");
  testing::AdminRun added = testing::RunAdmin(
      store.path(), {"change", "add", now.dateText(), "一班", "1", "--teacher", "5-6-7-8"});
  ASSERT_EQ(added.code, 0) << added.errors;

  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());
  Program capture(ToolPath("brenlow-controller"),
                  {"listen", "--address", controller, "--count", "1", "--seconds", "10"});
  ASSERT_TRUE(testing::WaitFor([&] {
    return capture.output().find("listening") != std::string::npos;
  })) << capture.errors();
  // The absent teacher's swipe is answered with the server's decision, which sends nothing.
  const std::string absent = "brenlow: swipe card=1-2-3-4 from=" + controller +
                             " class=一班 decision=substituted by 李老师(5-6-7-8)\n";
  Program absentSwipe(ToolPath("brenlow-controller"), {"--from", controller, "card", "1-2-3-4"});
  EXPECT_EQ(absentSwipe.wait(10s), 0) << absentSwipe.errors();
  EXPECT_TRUE(server.program().waitForError(absent, testing::kEventTimeout)) << server.errors();
  Program swipe(ToolPath("brenlow-controller"), {"--from", controller, "card", "5-6-7-8"});
  EXPECT_EQ(swipe.wait(10s), 0) << swipe.errors();

  EXPECT_EQ(capture.wait(15s), 0) << capture.errors();
  const std::string printed = capture.output();
  EXPECT_NE(printed.find(": EB 00 01 01 00 A0 07 ED power on\n"), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << printed;
  EXPECT_TRUE(
      server.program().waitForError("brenlow: command power-on class=一班 to=" + controller +
                                        ":20108 reason=swipe teacher=5-6-7-8 substitute for "
                                        "张老师(1-2-3-4)\n",
                                    testing::kEventTimeout))
      << server.errors();
  EXPECT_EQ(server.stop(), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
