#include "controllers/controller_datagram.h"

#include <charconv>

namespace brenlow {
namespace {

constexpr uint8_t kCardMark[] = {0x66, 0x01, 0xDD};
constexpr size_t kPowerStateEnd = 5;  // bytes needed to read byte 4
constexpr size_t kCardEnd = 8;        // bytes needed to read the four card bytes

bool IsCardDatagram(std::span<const uint8_t> bytes) {
  return bytes.size() >= kCardEnd && bytes[1] == kCardMark[0] && bytes[2] == kCardMark[1] &&
         bytes[3] == kCardMark[2];
}

}  // namespace

std::optional<ControllerReport> DecodeControllerDatagram(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes[0] != kControllerMark)
    return std::nullopt;
  ControllerReport report;
  if (bytes.size() >= kPowerStateEnd)
    report.powered = (bytes[4] & kPoweredBit) != 0;
  if (IsCardDatagram(bytes)) {
    report.cardNumber = CardNumberText({bytes[4], bytes[5], bytes[6], bytes[7]});
  }
  return report;
}

std::string CardNumberText(const CardBytes& card) {
  return std::to_string(card[0]) + "-" + std::to_string(card[1]) + "-" + std::to_string(card[2]) +
         "-" + std::to_string(card[3]);
}

std::optional<CardBytes> ParseCardNumber(std::string_view text) {
  CardBytes card{};
  const char* position = text.data();
  const char* end = text.data() + text.size();
  for (size_t i = 0; i < card.size(); ++i) {
    if (i > 0) {
      if (position == end || *position != '-')
        return std::nullopt;
      ++position;
    }
    unsigned value = 0;
    auto [next, error] = std::from_chars(position, end, value);
    if (error != std::errc() || next == position || value > 255)
      return std::nullopt;
    card[i] = static_cast<uint8_t>(value);
    position = next;
  }
  if (position != end)
    return std::nullopt;
  return card;
}

std::vector<uint8_t> PowerStateDatagram(bool powered) {
  return {kControllerMark,
          0x00,
          0x00,
          0x00,
          static_cast<uint8_t>(powered ? kPoweredBit : 0x00),
          0x00,
          0x00,
          0x00};
}

std::vector<uint8_t> CardDatagram(const CardBytes& card) {
  return {kControllerMark, kCardMark[0], kCardMark[1], kCardMark[2],
          card[0],         card[1],      card[2],      card[3]};
}

}  // namespace brenlow
