// The real brenlow, headless: what a school day brings (a controller's reports, a teacher's
// swipe and its command, a terminal's edit, a flood of forged swipes) ends up in the events
// table with its facts, and events past the retention are removed.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "controllers/controller_datagram.h"
#include "core/clock.h"
#include "core/weekdays.h"
#include "net/ports.h"
#include "support/headless_server.h"
#include "support/kernel_sockets.h"
#include "support/program.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"
#include "terminals/client_records.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::CommandCapture;
using testing::ConnectWhenServed;
using testing::LoopbackAddress;
using testing::Quote;
using testing::TempDatabase;

class EventsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", controller_);
    store_.addTeacher("1-2-3-4", "张老师");
    // A period of the teacher in progress now, by the local clock the program reads as well.
    const LocalTime now = SystemClock().now();
    const int start = std::max(0, now.minutesSinceMidnight() - 1);
    const int end = now.minutesSinceMidnight() + 5;
    store_.exec(
        "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
        "('一班'," +
        Quote(WeekdayText(now.weekday)) + "," + Quote(std::to_string(start / 60)) + "," +
        Quote(std::to_string(start % 60)) + "," + Quote(std::to_string(end / 60)) + "," +
        Quote(std::to_string(end % 60)) + ",'张老师(1-2-3-4)')");
  }

  void startServer(std::vector<std::string> options = {}) {
    server_ = std::make_unique<testing::HeadlessServer>(store_.path(), options);
    ASSERT_TRUE(server_->ready());
  }

  void stopServer() { EXPECT_EQ(server_->stop(10s), 0) << server_->errors(); }

  void send(const std::string& from, const std::vector<uint8_t>& datagram) {
    std::string error;
    Socket socket = Socket::BindUdp(from, 0, &error);
    ASSERT_TRUE(socket.isOpen()) << error;
    socket.sendTo("127.0.0.1", kControllerListenPort, datagram.data(), datagram.size(), &error);
  }

  // Reports the power state and waits until the store shows it.
  void reportUntilStored(bool powered) {
    send(controller_, PowerStateDatagram(powered));
    EXPECT_TRUE(testing::WaitFor([&] {
      return store_.value("select Status from tblbj") == (powered ? "1" : "0");
    })) << "Status never became "
        << powered;
  }

  std::vector<std::string> events(const std::string& what, const std::string& where) {
    return store_.column("select " + what + " from tbl_events where " + where + " Order by ID");
  }

  TempDatabase store_;
  const std::string controller_ = LoopbackAddress(50);
  std::unique_ptr<testing::HeadlessServer> server_;
};

TEST_F(EventsProgram, ADaysSwipesCommandsEditsAndPowerChangesAreRecorded) {
  store_.exec(
      "Insert into tbl_events (time, kind, class) Values ('2020-01-01T08:00:00', 'power', '旧')");
  CommandCapture capture(controller_, kControllerPort);
  startServer();
  reportUntilStored(true);
  reportUntilStored(false);
  send(controller_, CardDatagram({1, 2, 3, 4}));
  ASSERT_TRUE(capture.next(5s)) << server_->errors();

  TerminalConnection client = ConnectWhenServed(kClientPort);
  PeriodEditRequest edit;
  edit.bjName = "一班";
  edit.week = "星期一";
  edit.startH = "8";
  edit.startM = "0";
  edit.endH = "8";
  edit.endM = "45";
  ASSERT_TRUE(client.send(PeriodEditRequestBytes(edit)));
  ASSERT_TRUE(server_->program().waitForError("edit period", testing::kEventTimeout))
      << server_->errors();
  stopServer();

  EXPECT_EQ(events("count(*)", "class='旧'"), std::vector<std::string>{"0"});
  EXPECT_EQ(events("power||' '||address", "kind='power'"),
            (std::vector<std::string>{"on " + controller_, "off " + controller_}));
  EXPECT_EQ(events("card||' '||teacher||' '||decision||' '||address", "kind='swipe'"),
            std::vector<std::string>{"1-2-3-4 张老师(1-2-3-4) power-on " + controller_});
  EXPECT_EQ(events("command||' '||address||':'||port||' '||reason||'|'||outcome", "kind='command'"),
            std::vector<std::string>{"power-on " + controller_ + ":20108 swipe teacher=1-2-3-4|"});
  EXPECT_EQ(events("address||' '||edit_row||' '||fields", "kind='edit' and class='一班'"),
            std::vector<std::string>{
                "127.0.0.1 period week=星期一 row=0 "
                "{\"StartH\":[\" \",\"8\"],\"StartM\":[\" \",\"0\"],\"EndH\":[\" \",\"8\"],"
                "\"EndM\":[\" \",\"45\"],\"ThName\":[\" \",\"\"]}"});
  // Every event carries the local time of its recording.
  EXPECT_EQ(events("count(*)", "time not like '____-__-__T__:__:__'"),
            std::vector<std::string>{"0"});
  // The room's last report is what status shows.
  const std::string status =
      testing::RunAdmin(store_.path(), {"status", "--format", "json"}).output;
  const std::string lastReport =
      store_.value("select time from tbl_last_report where class='一班'");
  EXPECT_NE(status.find("\"last_report\": \"" + lastReport + "\""), std::string::npos) << status;
}

TEST_F(EventsProgram, AFloodOfForgedSwipesAddsAFewRows) {
  startServer();
  reportUntilStored(false);
  std::string error;
  Socket known = Socket::BindUdp(controller_, 0, &error);
  Socket unknown = Socket::BindUdp(LoopbackAddress(51), 0, &error);
  const std::vector<uint8_t> card = CardDatagram({9, 9, 9, 9});
  for (int i = 0; i < 100000; ++i) {
    const Socket& from = i % 2 == 0 ? known : unknown;
    from.sendTo("127.0.0.1", kControllerListenPort, card.data(), card.size(), &error);
    // A flood, slowed a little so that the listener takes many of its datagrams (the kernel
    // drops the rest): a rate, not a wait for something.
    if (i % 1000 == 999)
      std::this_thread::sleep_for(2ms);
  }
  // The listener has read every datagram once its socket's queue is empty.
  EXPECT_TRUE(testing::WaitFor(
      [] { return testing::ReceiveQueueEmpty(kControllerListenPort, testing::Transport::kUdp); }));
  stopServer();
  const int rows = std::stoi(store_.value("select count(*) from tbl_events"));
  const int handled = std::stoi(store_.value("select sum(count) from tbl_events"));
  EXPECT_LE(rows, 6);
  EXPECT_GE(rows, 2);
  EXPECT_GT(handled, 1000) << "of 100000";
  EXPECT_EQ(store_.column("select distinct decision from tbl_events Order by decision"),
            (std::vector<std::string>{"unknown-card", "unknown-controller"}));
  // The card nobody has is there to be registered.
  testing::AdminRun cards = testing::RunAdmin(store_.path(), {"cards", "--unknown"});
  EXPECT_NE(cards.output.find("\n9-9-9-9 "), std::string::npos) << cards.output << cards.errors;
}

}  // namespace
}  // namespace brenlow
