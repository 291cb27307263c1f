// TerminalRequest: the 100-byte header with which every request of ports 64124 and 62124
// starts.
//
//   offset  width  field
//   0       32     hardware-address slot 1: narrow text ended by a zero byte (31 bytes of text)
//   32      32     hardware-address slot 2, the same form
//   64      32     hardware-address slot 3, the same form
//   96      4      request kind, signed 32-bit little-endian
//
// A slot's bytes are compared as they are with tblbj.PCMacAddr; an empty slot is the empty
// text. A slot without its zero byte ends at the slot's end.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brenlow {

inline constexpr size_t kTerminalRequestSize = 100;
inline constexpr size_t kAddressSlotCount = 3;
inline constexpr size_t kAddressSlotWidth = 32;
inline constexpr size_t kRequestKindOffset = 96;

// Request kinds of port 64124.
inline constexpr int32_t kClassNameKind = 1;
inline constexpr int32_t kPeriodsKind = 2;
inline constexpr int32_t kCoursesKind = 3;
inline constexpr int32_t kPasswordKind = 4;

// Request kinds of port 62124.
inline constexpr int32_t kTeacherListKind = 1;
inline constexpr int32_t kPeriodEditKind = 2;
inline constexpr int32_t kCourseEditKind = 3;

struct TerminalRequest {
  std::array<std::string, kAddressSlotCount> slots;
  int32_t kind = 0;
};

// Reads the header at the start of bytes; nullopt when fewer than 100 bytes arrived.
std::optional<TerminalRequest> ParseTerminalRequest(std::string_view bytes);

// What the request asks, as a text: two requests with the same key are answered alike (the
// kind and the slot texts, without the bytes after a slot's end).
std::string RequestKey(const TerminalRequest& request);

// The 100 bytes of a request (slot texts cut to 31 bytes).
std::string TerminalRequestBytes(const TerminalRequest& request);

}  // namespace brenlow
