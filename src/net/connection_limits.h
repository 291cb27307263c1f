// How the TCP ports treat their connections: the queue of pending ones, how many one peer
// address may hold, and when a connection's unsent replies hold it back or drop it.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstddef>

namespace brenlow {

// Pending connections the kernel queues before the loop accepts them: the system's maximum,
// because every classroom terminal of a school connects in the same minute. Linux silently
// caps it at net.core.somaxconn (4096 since Linux 5.4, 128 before).
inline constexpr int kListenBacklog = SOMAXCONN;

// Connections one peer address may hold on one port, unless the command line says otherwise
// (terminals behind one NAT address need more).
inline constexpr size_t kDefaultMaxConnectionsPerAddress = 64;

// While this many reply bytes wait for a connection, no further request of it is read.
inline constexpr size_t kOutputPauseBytes = 256 * 1024;

// A connection whose waiting replies do not move for this long is dropped.
inline constexpr std::chrono::milliseconds kStalledOutputLimit{2000};

}  // namespace brenlow
