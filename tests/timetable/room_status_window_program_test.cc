// The status window beside the real headless server (as the editor runs it): a power report
// that the server's listener writes shows within the window's refresh time.
#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>
#include <chrono>

#include "core/clock.h"
#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"
#include "timetable/room_status_window.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Program;
using testing::TempDatabase;
using testing::ToolPath;

TEST(RoomStatusWindowProgram, ShowsWhatTheServersListenerWrites) {
  TempDatabase store;
  const std::string controller = LoopbackAddress(41);
  store.addClass("一班", controller);
  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());

  SystemClock clock;
  RoomStatusWindow window(clock, store.store());
  window.show();
  // Start-up resets every Status to 0, which says nothing until the controller reports.
  ASSERT_EQ(window.table().item(0, 2)->text(), "未知");

  Program tool(ToolPath("brenlow-controller"), {"--from", controller, "on"});
  ASSERT_EQ(tool.wait(10s), 0) << tool.errors();
  ASSERT_TRUE(testing::WaitFor([&] { return store.value("select Status from tblbj") == "1"; }))
      << server.errors();
  const auto stored = std::chrono::steady_clock::now();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.table().item(0, 2)->text() == "已开机"; },
                              kRoomStatusRefreshMs + 2000));
  EXPECT_LT(std::chrono::steady_clock::now() - stored,
            std::chrono::milliseconds(kRoomStatusRefreshMs + 2000));

  EXPECT_EQ(server.stop(10s), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
