// Two servers' worth of services in one process, each handed its own store: every port, the
// controller handling and the scheduler answer from their own file and never touch the other.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "controllers/controller_listener.h"
#include "core/clock.h"
#include "schedule/minute_scheduler.h"
#include "support/loopback_port.h"
#include "support/recording_messages.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "support/wait_for.h"
#include "terminals/client_records.h"
#include "terminals/client_service.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_service.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Quote;
using testing::RequestBytes;
using testing::TempDatabase;

constexpr const char* kMac = "AA-01";

// One school: a class whose terminal is kMac and whose controller is controller, a teacher, the
// class's first Wednesday period 08:00-08:45 taught by that teacher, and every service of the
// server on ephemeral loopback ports, handed this school's store.
struct School {
  School(const std::string& className, const std::string& password, const std::string& controller,
         const Clock& clock)
      : listener(clock, database.store()) {
    database.addClass(className, controller, kMac, password);
    database.addTeacher("7", "张老师");
    database.exec("Update tblThMes set UseTime='0'");
    database.exec(
        "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', ThName='张老师(7)' "
        "where ID=(select ID from tblkcTime where Week='星期三' Order by ID limit 1)");
    std::string error;
    EXPECT_TRUE(listener.bind("127.0.0.1", 0, &error)) << error;
    listenerThread = std::jthread([this](std::stop_token stop) { listener.run(stop); });
  }

  // Sends one controller datagram from address and waits until the listener has taken it.
  void report(const std::string& from, const testing::Bytes& bytes) {
    Socket controller = Socket::BindUdp(from, 0, nullptr);
    ASSERT_TRUE(controller.isOpen());
    const uint64_t before = listener.datagramsReceived();
    controller.sendTo("127.0.0.1", listener.port(), bytes.data(), bytes.size(), nullptr);
    EXPECT_TRUE(testing::WaitFor([&] { return listener.datagramsReceived() > before; }, 5s));
  }

  std::string value(const std::string& sql) const { return database.value(sql); }

  TempDatabase database;
  testing::LoopbackPort terminalPort{TerminalServiceOn(database.store())};
  testing::LoopbackPort clientPort{ClientServiceOn(database.store())};
  ControllerListener listener;
  std::jthread listenerThread;  // last: stops and joins before the listener goes
};

TEST(TwoStores, EachServersServicesAnswerFromTheirOwnFile) {
  testing::RecordingMessages messages;
  ManualClock clock(MakeLocalTime(2024, 3, 6, 8, 3));  // a Wednesday, 3 minutes into period 1
  const std::string controller = testing::LoopbackAddress(10);
  // The same terminal and the same controller address in both files.
  School first("甲班", "pass-a", controller, clock);
  School second("乙班", "pass-b", controller, clock);

  // Port 64124: the class name, then the password as the end marker.
  for (School* school : {&first, &second}) {
    TerminalConnection terminal = school->terminalPort.connect();
    ASSERT_TRUE(
        terminal.send(RequestBytes(kClassNameKind, kMac) + RequestBytes(kPasswordKind, kMac)));
    const bool isFirst = school == &first;
    EXPECT_EQ(testing::ReplyBefore(terminal, PasswordRecordBytes(isFirst ? "pass-a" : "pass-b")),
              ClassNameReplyBytes(isFirst ? "甲班" : "乙班"));
  }

  // Port 62124: an edit of the first school's class, then a teacher list whose end record says
  // the edit was carried out.
  PeriodEditRequest edit;
  edit.bjName = "甲班";
  edit.week = "星期三";
  edit.row = 0;
  edit.startH = "9";
  edit.startM = "0";
  edit.endH = "9";
  edit.endM = "45";
  edit.thName = "张老师(7)";
  for (School* school : {&first, &second}) {
    TerminalConnection terminal = school->clientPort.connect();
    ASSERT_TRUE(terminal.send(PeriodEditRequestBytes(edit) + RequestBytes(kTeacherListKind, kMac)));
    testing::ReplyBefore(terminal, EndRecordBytes());
  }
  const std::string firstPeriod =
      "select StartH from tblkcTime where Week='星期三' Order by ID limit 1";
  EXPECT_EQ(first.value(firstPeriod), "9");
  EXPECT_EQ(second.value(firstPeriod), "8") << "the second file has no class 甲班";
  // Back to 08:00 for the scheduler below.
  first.database.exec("Update tblkcTime set StartH='8', EndH='8' where StartH='9'");

  // UDP 8234: a power report to the first listener reaches the first file only.
  first.report(controller, testing::HexBytes("EB 00 00 00 40"));
  EXPECT_EQ(first.value("select Status from tblbj"), "1");
  EXPECT_EQ(second.value("select Status from tblbj"), "0");

  // The minute tick: 08:03 credits the lesson's 45 minutes where the room is powered.
  second.database.exec("Update tblbj set Status=1");
  MinuteScheduler firstScheduler(clock, first.database.store(), CatchUpPolicy::kOff);
  firstScheduler.tick();
  EXPECT_EQ(first.value("select UseTime from tblThMes"), "45");
  EXPECT_EQ(second.value("select UseTime from tblThMes"), "0");
  MinuteScheduler secondScheduler(clock, second.database.store(), CatchUpPolicy::kOff);
  secondScheduler.tick();
  EXPECT_EQ(second.value("select UseTime from tblThMes"), "45");
  EXPECT_EQ(first.value("select UseTime from tblThMes"), "45");
  for (School* school : {&first, &second}) {
    EXPECT_EQ(school->value("select value from tbl_server_state where name=" +
                            Quote("last_acted_minute")),
              "2024-03-06 08:03");
  }
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
}  // namespace brenlow
