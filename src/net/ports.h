// The TCP ports of the classroom terminals and how their connections are treated.
#pragma once

#include <chrono>
#include <cstdint>

namespace brenlow {

// Class name, periods, courses and password (TerminalService).
inline constexpr uint16_t kTerminalPort = 64124;
// Teacher list, period edit and course edit (ClientService).
inline constexpr uint16_t kClientPort = 62124;

// Pending connections the kernel queues before the loop accepts them.
inline constexpr int kListenBacklog = 5;

// A reply is sent whole; a peer that does not take it within this time is dropped, so that one
// stalled terminal holds up its port for at most this long.
inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

}  // namespace brenlow
