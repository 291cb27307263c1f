// The status window beside the real headless server (as the editor runs it): a power report
// that the server's listener writes shows within the window's refresh time.
#include <gtest/gtest.h>
#include <signal.h>

#include <QTableWidget>
#include <QTest>
#include <chrono>

#include "core/clock.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "timetable/room_status_window.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Program;
using testing::ProgramPath;
using testing::TempDatabase;
using testing::ToolPath;

TEST(RoomStatusWindowProgram, ShowsWhatTheServersListenerWrites) {
  TempDatabase store;
  const std::string controller = LoopbackAddress(41);
  store.addClass("一班", controller);
  Program server(ProgramPath(),
                 {"--headless", "--listen", "127.0.0.1", "--database", store.path()});
  ASSERT_TRUE(server.waitForError("headless server starting", 10s)) << server.errors();

  SystemClock clock;
  RoomStatusWindow window(clock);
  window.show();
  // Start-up resets every Status to 0, which says nothing until the controller reports.
  ASSERT_EQ(window.table().item(0, 2)->text(), "未知");

  // The listener starts a moment after the program: report until the store has it.
  auto stored = std::chrono::steady_clock::time_point{};
  for (int attempt = 0; attempt < 50 && stored == decltype(stored){}; ++attempt) {
    Program tool(ToolPath("brenlow-controller"), {"--from", controller, "on"});
    ASSERT_EQ(tool.wait(10s), 0) << tool.errors();
    for (int i = 0; i < 10; ++i) {
      if (store.value("select Status from tblbj") == "1") {
        stored = std::chrono::steady_clock::now();
        break;
      }
      QTest::qWait(10);
    }
  }
  ASSERT_NE(stored, decltype(stored){}) << server.errors();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.table().item(0, 2)->text() == "已开机"; },
                              kRoomStatusRefreshMs + 2000));
  EXPECT_LT(std::chrono::steady_clock::now() - stored,
            std::chrono::milliseconds(kRoomStatusRefreshMs + 2000));

  server.signal(SIGTERM);
  EXPECT_EQ(server.wait(10s), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
