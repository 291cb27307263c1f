// The classroom terminal's side of ports 64124 and 62124: building requests, reading replies
// and describing them in readable form. brenlow-terminal and the tests use it.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/socket.h"

namespace brenlow {

// One connection to a terminal port, used the way a classroom terminal uses it. Blocking;
// one thread.
class TerminalConnection {
 public:
  // Connects to host:port (from the local address source, when given); false with a readable
  // reason in error on failure.
  bool connect(const std::string& host, uint16_t port, std::string* error,
               const std::string& source = "");
  bool isOpen() const { return socket_.isOpen(); }

  // Sends all of bytes (waiting at most 5 s for the server to take them).
  bool send(std::string_view bytes);
  // Reads until size bytes arrived, the peer closed or timeout passed; returns what arrived.
  std::string receive(size_t size, std::chrono::milliseconds timeout);
  // Reads until nothing arrived for quiet, the peer closed, or limit passed in all.
  std::string receiveUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);
  // Reads a teacher list: until its end record closes it (a 40-byte "close" record after whole
  // 80-byte records), the peer closed, or nothing arrived for quiet.
  std::string receiveTeacherList(std::chrono::milliseconds quiet);

  // True once a read found the connection closed by the server.
  bool peerClosed() const { return peerClosed_; }
  void close() { socket_.close(); }
  const Socket& socket() const { return socket_; }

 private:
  Socket socket_;
  bool peerClosed_ = false;
};

// True when bytes end in the end record of a teacher list, at a record boundary.
bool EndsTeacherList(std::string_view bytes);

// The reply to a request of kind on port, decoded into readable lines; "no answer" when
// empty.
std::string DescribeTerminalReply(int32_t kind, std::string_view bytes);
std::string DescribeClientReply(int32_t kind, std::string_view bytes);

}  // namespace brenlow
