#include "controllers/controller_datagram.h"

#include <gtest/gtest.h>

#include "support/udp_capture.h"

namespace brenlow {
namespace {

using testing::HexBytes;

TEST(ControllerDatagram, DecodesPowerStateAndCardNumberFromTheBytesPresent) {
  struct Case {
    const char* bytes;
    bool isController;
    std::optional<bool> powered;
    std::optional<std::string> card;
  };
  const Case cases[] = {
      {"EB 00 00 00 40", true, true, std::nullopt},
      {"EB 00 00 00 BF", true, false, std::nullopt},
      {"EB 66 01 DD 0C FF 00 2D", true, false, "12-255-0-45"},
      {"EB 66 01 DD 41 02 03 04 00 00", true, true, "65-2-3-4"},
      {"EB 66 01 DD 41 02 03", true, true, std::nullopt},  // too short for the card
      {"EB 66 01 DC 41 02 03 04", true, true, std::nullopt},
      {"EB 00 00 00", true, std::nullopt, std::nullopt},  // too short for the power state
      {"7E 00 00 00 40", false, std::nullopt, std::nullopt},
      {"", false, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::vector<uint8_t> bytes = HexBytes(c.bytes);
    std::optional<ControllerReport> report = DecodeControllerDatagram(bytes);
    ASSERT_EQ(report.has_value(), c.isController);
    if (!report)
      continue;
    EXPECT_EQ(report->powered, c.powered);
    EXPECT_EQ(report->cardNumber, c.card);
  }
}

TEST(ControllerDatagram, CardNumberTextRoundTrips) {
  EXPECT_EQ(CardNumberText({0x0C, 0xFF, 0x00, 0x2D}), "12-255-0-45");
  EXPECT_EQ(ParseCardNumber("12-255-0-45"), (CardBytes{0x0C, 0xFF, 0x00, 0x2D}));
  for (const char* bad :
       {"", "1-2-3", "1-2-3-4-5", "1-2-3-256", "1--3-4", "a-b-c-d", "1-2-3-4 ", "-1-2-3-4"}) {
    EXPECT_FALSE(ParseCardNumber(bad)) << bad;
  }
  EXPECT_EQ(CardDatagram({12, 255, 0, 45}), HexBytes("EB 66 01 DD 0C FF 00 2D"));
  EXPECT_EQ(PowerStateDatagram(true), HexBytes("EB 00 00 00 40 00 00 00"));
}

}  // namespace
}  // namespace brenlow
