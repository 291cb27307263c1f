#include "controllers/controller_commands.h"

#include <gtest/gtest.h>

#include "net/ports.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using testing::Bytes;
using testing::HexText;

TEST(ControllerCommands, BytesAndPortsAreTheOnesDevicesExpect) {
  EXPECT_EQ(kControllerPort, 20108);
  EXPECT_EQ(kPcShutdownPort, 60123);
  auto hex = [](auto datagram) { return HexText(Bytes(datagram.begin(), datagram.end())); };
  EXPECT_EQ(hex(PowerOnCommand()), "EB 00 01 01 00 A0 07 ED");
  EXPECT_EQ(hex(PowerOffCommand()), "EB 00 01 01 00 A1 07 ED");
  EXPECT_EQ(hex(CardPowerOffCommand()), "EB 00 01 00 00 A1 07 ED");
  EXPECT_EQ(hex(PcShutdownDatagram()), "73 68 75 74 64 6F 77");
}

}  // namespace
}  // namespace brenlow
