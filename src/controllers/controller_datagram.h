// The datagrams classroom controllers send to the server's UDP port 8234.
//
// Layout (bytes unsigned):
//   offset 0, 1 byte: 0xEB marks a controller datagram; anything else is not one
//   offset 1-3, 3 bytes: 0x66 0x01 0xDD in a card datagram
//   offset 4, 1 byte: power state, bit 0x40 set means the room is on; in a card datagram
//                     also the first card byte
//   offset 5-7, 3 bytes: card datagram: second, third and fourth card byte
//   offset 8-23, 0-16 bytes: ignored
// Every 0xEB datagram reports the power state, card datagrams included. A datagram longer than
// 24 bytes is not a controller datagram at all.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brenlow {

// The longest datagram a controller sends; anything longer is ignored whole.
inline constexpr size_t kControllerDatagramCapacity = 24;

inline constexpr uint8_t kControllerMark = 0xEB;
inline constexpr uint8_t kPoweredBit = 0x40;

using CardBytes = std::array<uint8_t, 4>;

// What one datagram reports. Each part is present only when the datagram carries the bytes it
// is read from: a datagram too short for a part reports nothing for it.
struct ControllerReport {
  std::optional<bool> powered;            // bit 0x40 of byte 4 (needs 5 bytes)
  std::optional<std::string> cardNumber;  // card datagram of at least 8 bytes
};

// Decodes a received datagram of at most kControllerDatagramCapacity bytes. nullopt when it is
// not a controller datagram (empty, or byte 0 is not 0xEB).
std::optional<ControllerReport> DecodeControllerDatagram(std::span<const uint8_t> bytes);

// The card number text: the four card bytes in decimal joined by "-" (0C FF 00 2D gives
// "12-255-0-45"). It is the value teachers' Numb holds.
std::string CardNumberText(const CardBytes& card);
// The card bytes of a card number text; nullopt unless it is four numbers 0-255 joined by "-".
std::optional<CardBytes> ParseCardNumber(std::string_view text);

// The datagrams a controller sends, for the stand-in controller, tests and benchmarks:
// EB 00 00 00 (40 or 00) 00 00 00, and EB 66 01 DD with the four card bytes.
std::vector<uint8_t> PowerStateDatagram(bool powered);
std::vector<uint8_t> CardDatagram(const CardBytes& card);

}  // namespace brenlow
