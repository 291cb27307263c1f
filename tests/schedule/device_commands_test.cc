#include "schedule/device_commands.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A class whose controller and PC are loopback receivers.
class DeviceCommandsTest : public ::testing::Test {
 protected:
  void addClass(const std::string& name, const std::string& controller, const std::string& pc) {
    store_.exec("Insert into tblbj (Name, ZKIP, PCIP) Values (" + Quote(name) + "," +
                Quote(controller) + "," + Quote(pc) + ")");
  }

  TempDatabase store_;
  RecordingMessages messages_;
  RecordingLines log_;
  const std::string controller_ = LoopbackAddress(1);
  const std::string pc_ = LoopbackAddress(2);
  CommandCapture controllerCapture_{controller_, kControllerPort};
  CommandCapture pcCapture_{pc_, kPcShutdownPort};
};

TEST_F(DeviceCommandsTest, ActOnlyAtTheirMinuteWithTheFlagExactlyOne) {
  addClass("一班", controller_, pc_);
  struct Case {
    int nowMinutes, flag;
    bool acts;
  };
  // A period from 08:05 to 08:50.
  const Case cases[] = {{485, 1, true},  {484, 1, false}, {486, 1, false},
                        {485, 0, false}, {485, 2, false}, {485, -1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.nowMinutes) + " flag " + std::to_string(c.flag));
    SendPowerOn(store_.store(), "一班", 8, 5, c.nowMinutes, c.flag);
    EXPECT_EQ(controllerCapture_.taken(), c.acts ? Sent{kPowerOn} : Sent{});
    SendPowerOff(store_.store(), "一班", 8, 5, c.nowMinutes, c.flag);
    EXPECT_EQ(pcCapture_.taken(), c.acts ? Sent{kShutdown} : Sent{});
    EXPECT_EQ(controllerCapture_.taken(), c.acts ? Sent{kPowerOff} : Sent{});
  }
  SendPowerOn(store_.store(), "二班", 8, 5, 485, 1);  // no such class
  SendPowerOff(store_.store(), "二班", 8, 5, 485, 1);
  EXPECT_TRUE(controllerCapture_.taken().empty());
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(DeviceCommandsTest, EveryClassRowOfTheNameIsCommanded) {
  const std::string secondController = LoopbackAddress(3);
  CommandCapture secondCapture(secondController, kControllerPort);
  addClass("一班", controller_, pc_);
  addClass("一班", secondController, pc_);
  SendPowerOn(store_.store(), "一班", 10, 0, 600, 1);
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOn});
  EXPECT_EQ(secondCapture.taken(), Sent{kPowerOn});
  SendPowerOff(store_.store(), "一班", 10, 45, 645, 1);
  EXPECT_EQ(pcCapture_.taken(), (Sent{kShutdown, kShutdown}));
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOff});
  EXPECT_EQ(secondCapture.taken(), Sent{kPowerOff});
  // Each command is in the log: what, to which class and address, and why.
  const std::string start = " reason=period-start 10:00";
  const std::string end = " reason=period-end 10:45";
  EXPECT_EQ(log_.take(),
            (Sent{
                "command power-on class=一班 to=" + controller_ + ":20108" + start,
                "command power-on class=一班 to=" + secondController + ":20108" + start,
                "command pc-shutdown class=一班 to=" + pc_ + ":60123" + end,
                "command power-off class=一班 to=" + controller_ + ":20108" + end,
                "command pc-shutdown class=一班 to=" + pc_ + ":60123" + end,
                "command power-off class=一班 to=" + secondController + ":20108" + end,
            }));
}

TEST_F(DeviceCommandsTest, AnUnreachablePcIsLoggedAndItsRoomIsSwitchedOffAllTheSame) {
  // Broadcast is refused to a socket that did not ask for it: the PC cannot be reached.
  const std::string secondController = LoopbackAddress(3);
  CommandCapture secondCapture(secondController, kControllerPort);
  addClass("一班", controller_, "255.255.255.255");
  addClass("一班", secondController, pc_);
  SendPowerOff(store_.store(), "一班", 10, 45, 645, 1);
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOff});
  EXPECT_EQ(pcCapture_.taken(), Sent{kShutdown});
  EXPECT_EQ(secondCapture.taken(), Sent{kPowerOff});

  // A controller that cannot be reached stops the command there.
  store_.exec("Update tblbj set ZKIP='255.255.255.255' where ID=1");
  SendPowerOn(store_.store(), "一班", 10, 0, 600, 1);
  EXPECT_TRUE(secondCapture.taken().empty());
  EXPECT_TRUE(messages_.texts().empty());  // send failures show no message, but are logged
  const std::string end = " reason=period-end 10:45";
  Sent lines = log_.take();
  // The reason the system gives (no permission, no route) varies with the machine.
  for (std::string& line : lines) {
    if (size_t failed = line.find(" failed: send to "); failed != std::string::npos)
      line = line.substr(0, line.find(": ", failed + 17));
  }
  EXPECT_EQ(lines, (Sent{
                       "command pc-shutdown class=一班 to=255.255.255.255:60123" + end +
                           " failed: send to 255.255.255.255:60123",
                       "command power-off class=一班 to=" + controller_ + ":20108" + end,
                       "command pc-shutdown class=一班 to=" + pc_ + ":60123" + end,
                       "command power-off class=一班 to=" + secondController + ":20108" + end,
                       "command power-on class=一班 to=255.255.255.255:20108 reason=period-start "
                       "10:00 failed: send to 255.255.255.255:20108",
                   }));
}

// An empty PCIP means this computer. Where this computer's name resolves to nothing, that is
// 127.0.0.1. Run in a child with a host name of its own (a UTS namespace, which needs root).
TEST_F(DeviceCommandsTest, EmptyPcAddressWithAnUnresolvableOwnNameGoesTo127001) {
  CommandCapture ownCapture("127.0.0.1", kPcShutdownPort);
  addClass("一班", controller_, "");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const char name[] = "brenlow-unresolvable.invalid";
    if (unshare(CLONE_NEWUTS) != 0 || sethostname(name, sizeof name - 1) != 0)
      _exit(77);
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, nullptr, &found) == 0)
      _exit(78);
    SendPowerOff(store_.store(), "一班", 10, 45, 645, 1);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77)
    GTEST_SKIP() << "no UTS namespace of our own (needs root)";
  if (WEXITSTATUS(status) == 78)
    GTEST_SKIP() << "the resolver answers any name";
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ownCapture.taken(), Sent{kShutdown});
  EXPECT_EQ(controllerCapture_.taken(), Sent{kPowerOff});
}

TEST_F(DeviceCommandsTest, SocketThatCannotBeMadeIsShown) {
  addClass("一班", controller_, pc_);
  // The sanitizer's check of a virtual call needs a descriptor the first time it sees a type:
  // let it see the message handler's now.
  ShowMessage("warm-up");
  messages_.clear();
  // Use up the descriptors the process may open, so that no socket can be made.
  rlimit original{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &original), 0);
  int highest = dup(0);
  ASSERT_GE(highest, 0);
  close(highest);
  rlimit tight = original;
  tight.rlim_cur = static_cast<rlim_t>(highest + 8);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  std::vector<int> filler;
  for (int fd; (fd = open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
    filler.push_back(fd);

  SendPowerOn(store_.store(), "一班", 10, 0, 600, 1);
  SendPowerOff(store_.store(), "一班", 10, 45, 645, 1);

  for (int fd : filler)
    close(fd);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &original), 0);
  ASSERT_EQ(messages_.texts(), (Sent{"socket创建失败!", "socket创建失败!"}));
  EXPECT_EQ(messages_.messages()[0].caption, kApplicationTitle);
  EXPECT_EQ(messages_.messages()[0].buttons, MessageButtons::kOk);
  EXPECT_TRUE(controllerCapture_.taken().empty());
}

}  // namespace
}  // namespace brenlow
