#include "controllers/send_command.h"

#include <gtest/gtest.h>

#include "controllers/command_log.h"
#include "controllers/controller_commands.h"
#include "net/ports.h"
#include "net/socket.h"
#include "support/recording_lines.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using testing::CommandCapture;
using testing::LoopbackAddress;
using testing::RecordingLines;

TEST(SendCommand, DeliversTheWholeDatagramAndLogsIt) {
  RecordingLines log;
  const std::string controller = LoopbackAddress(1);
  CommandCapture capture(controller, kControllerPort);
  EXPECT_TRUE(SendCommand(kPowerOnName, "一班", controller, kControllerPort, PowerOnCommand(),
                          "period-start 08:00"));
  Socket socket = Socket::BindUdp("", 0, nullptr);
  ASSERT_TRUE(socket.isOpen());
  EXPECT_TRUE(SendCommand(socket, kPowerOffName, "一班", controller, kControllerPort,
                          PowerOffCommand(), "period-end 08:45"));
  EXPECT_EQ(capture.taken(),
            (std::vector<std::string>{"EB 00 01 01 00 A0 07 ED", "EB 00 01 01 00 A1 07 ED"}));
  EXPECT_EQ(
      log.take(),
      (std::vector<std::string>{
          "command power-on class=一班 to=" + controller + ":20108 reason=period-start 08:00",
          "command power-off class=一班 to=" + controller + ":20108 reason=period-end 08:45"}));
}

TEST(SendCommand, FailedSendIsLoggedWithItsReason) {
  RecordingLines log;
  // Broadcast needs a permission these sockets do not ask for: the send fails.
  EXPECT_FALSE(SendCommand(kPowerOnName, "一班", "255.255.255.255", kControllerPort,
                           PowerOnCommand(), "period-start 08:00"));
  Socket socket = Socket::BindUdp("", 0, nullptr);
  ASSERT_TRUE(socket.isOpen());
  EXPECT_FALSE(SendCommand(socket, kPcShutdownName, "一班", "255.255.255.255", kPcShutdownPort,
                           PcShutdownDatagram(), "period-end 08:45"));
  std::vector<std::string> lines = log.take();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(lines[0].starts_with(
      "command power-on class=一班 to=255.255.255.255:20108 reason=period-start 08:00 failed: "))
      << lines[0];
  EXPECT_TRUE(
      lines[1].starts_with("command pc-shutdown class=一班 to=255.255.255.255:60123 "
                           "reason=period-end 08:45 failed: "))
      << lines[1];
}

}  // namespace
}  // namespace brenlow
