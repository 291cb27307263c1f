// The real brenlow, headless, against brenlow-controller: the controller's reports become the
// class's Status and the teacher's swipe powers the classroom on, which the server logs.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/clock.h"
#include "core/weekdays.h"
#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Program;
using testing::Quote;
using testing::TempDatabase;
using testing::ToolPath;

// Runs brenlow-controller to its end.
void RunController(const std::vector<std::string>& arguments) {
  Program tool(ToolPath("brenlow-controller"), arguments);
  EXPECT_EQ(tool.wait(10s), 0) << tool.errors();
}

// Sends the power state from the controller and waits until the store shows it.
void ReportAndWaitUntilStored(const TempDatabase& store, const std::string& controller,
                              bool powered) {
  const std::string wanted = powered ? "1" : "0";
  RunController({"--from", controller, "--server", "127.0.0.1", powered ? "on" : "off"});
  EXPECT_TRUE(testing::WaitFor([&] {
    return store.value("select Status from tblbj where Name='一班'") == wanted;
  })) << "Status never became "
      << wanted;
}

TEST(ControllerListenerProgram, ReportsSetStatusAndTheTeachersSwipePowersOn) {
  TempDatabase store;
  const std::string controller = LoopbackAddress(40);
  store.addClass("一班", controller);
  store.addTeacher("1-2-3-4", "张老师");
  // A period of the teacher in progress now, by the local clock the program reads as well.
  LocalTime now = SystemClock().now();
  int start = std::max(0, now.minutesSinceMidnight() - 1);
  int end = now.minutesSinceMidnight() + 5;
  store.exec(
      "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
      "('一班'," +
      Quote(WeekdayText(now.weekday)) + "," + Quote(std::to_string(start / 60)) + "," +
      Quote(std::to_string(start % 60)) + "," + Quote(std::to_string(end / 60)) + "," +
      Quote(std::to_string(end % 60)) + ",'张老师(1-2-3-4)')");

  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());
  ReportAndWaitUntilStored(store, controller, true);
  ReportAndWaitUntilStored(store, controller, false);

  Program capture(ToolPath("brenlow-controller"),
                  {"listen", "--address", controller, "--count", "1", "--seconds", "10"});
  ASSERT_TRUE(testing::WaitFor([&] {
    return capture.output().find("listening") != std::string::npos;
  })) << capture.errors();
  RunController({"--from", controller, "card", "1-2-3-4"});
  EXPECT_EQ(capture.wait(15s), 0) << capture.errors();
  const std::string printed = capture.output();
  EXPECT_NE(printed.find(": EB 00 01 01 00 A0 07 ED power on\n"), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << printed;
  // The command is in the server's log (the journal, under systemd).
  EXPECT_TRUE(
      server.program().waitForError("brenlow: command power-on class=一班 to=" + controller +
                                        ":20108 reason=swipe teacher=1-2-3-4\n",
                                    testing::kEventTimeout))
      << server.errors();

  auto stopAsked = std::chrono::steady_clock::now();
  EXPECT_EQ(server.stop(), 0) << server.errors();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 2s);
}

}  // namespace
}  // namespace brenlow
