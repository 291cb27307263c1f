// What the kernel says about this network namespace's sockets (read from /proc/net), for tests
// that wait until a port is served or until a peer has read what was sent, without opening a
// connection that the program under test would count, log or answer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brenlow::testing {

enum class Transport { kTcp, kUdp };

// True when a TCP socket listens on port, or a UDP socket is bound to it (any local address).
bool PortServed(uint16_t port, Transport transport);

// True when no socket bound to local port holds bytes or datagrams that its owner has not read
// yet (also when none is bound).
bool ReceiveQueueEmpty(uint16_t port, Transport transport);

// True when the peer of the connected loopback TCP socket fd has read every byte sent on it: the
// kernel has them all acknowledged and nothing waits unread in the peer's receive queue. A
// later send then reaches the peer in a read of its own.
bool PeerReadEverything(int fd);

// Bytes that arrived on socket fd and were not read yet.
size_t UnreadBytes(int fd);

// Descriptors this process holds open: a server in the test process that drops a connection
// closes one.
size_t OpenDescriptorCount();

}  // namespace brenlow::testing
