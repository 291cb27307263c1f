// The real brenlow, headless, against brenlow-controller: the controller's reports become the
// class's Status and the teacher's swipe powers the classroom on, which the server logs.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <thread>

#include "core/clock.h"
#include "core/weekdays.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Program;
using testing::ProgramPath;
using testing::Quote;
using testing::TempDatabase;
using testing::ToolPath;

// Runs brenlow-controller to its end.
void RunController(const std::vector<std::string>& arguments) {
  Program tool(ToolPath("brenlow-controller"), arguments);
  EXPECT_EQ(tool.wait(10s), 0) << tool.errors();
}

// Sends the power state from the controller until the store shows it: the listener starts a
// moment after the program.
void ReportUntilStored(const TempDatabase& store, const std::string& controller, bool powered) {
  const std::string wanted = powered ? "1" : "0";
  for (int attempt = 0; attempt < 50; ++attempt) {
    RunController({"--from", controller, "--server", "127.0.0.1", powered ? "on" : "off"});
    for (int i = 0; i < 10; ++i) {
      if (store.value("select Status from tblbj where Name='一班'") == wanted)
        return;
      std::this_thread::sleep_for(10ms);
    }
  }
  FAIL() << "Status never became " << wanted;
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

  Program server(ProgramPath(),
                 {"--headless", "--listen", "127.0.0.1", "--database", store.path()});
  ASSERT_TRUE(server.waitForError("headless server starting", 10s)) << server.errors();
  ReportUntilStored(store, controller, true);
  ReportUntilStored(store, controller, false);

  Program capture(ToolPath("brenlow-controller"),
                  {"listen", "--address", controller, "--count", "1", "--seconds", "10"});
  for (int i = 0; i < 500 && capture.output().find("listening") == std::string::npos; ++i) {
    std::this_thread::sleep_for(10ms);
  }
  RunController({"--from", controller, "card", "1-2-3-4"});
  EXPECT_EQ(capture.wait(15s), 0) << capture.errors();
  const std::string printed = capture.output();
  EXPECT_NE(printed.find(": EB 00 01 01 00 A0 07 ED power on\n"), std::string::npos) << printed;
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << printed;
  // The command is in the server's log (the journal, under systemd).
  EXPECT_TRUE(server.waitForError("brenlow: command power-on class=一班 to=" + controller +
                                      ":20108 reason=swipe teacher=1-2-3-4\n",
                                  2s))
      << server.errors();

  auto stopAsked = std::chrono::steady_clock::now();
  server.signal(SIGTERM);
  EXPECT_EQ(server.wait(5s), 0) << server.errors();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 2s);
}

}  // namespace
}  // namespace brenlow
