// Loopback stand-ins for classroom devices in tests: addresses for fake controllers and PCs,
// and receivers that capture the command datagrams sent to them.
//
// The command ports are fixed (20108, 60123), so every test process takes its own block of
// loopback addresses, 127.A.B.host with A.B from the process id: tests running at the same time
// never bind the same address and port. Header-only, for test programs that link brenlow_net.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "net/socket.h"

namespace brenlow::testing {

using Bytes = std::vector<uint8_t>;

// The loopback address of device number host (1-254) of this test process.
inline std::string LoopbackAddress(int host) {
  unsigned pid = static_cast<unsigned>(getpid());
  return "127." + std::to_string(100 + (pid / 256) % 100) + "." + std::to_string(pid % 256) + "." +
         std::to_string(host);
}

// "EB 00 01" as bytes.
inline Bytes HexBytes(const std::string& text) {
  Bytes bytes;
  std::istringstream pairs(text);
  std::string pair;
  while (pairs >> pair)
    bytes.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
  return bytes;
}

inline std::string HexText(const Bytes& bytes) {
  std::string text;
  char hex[4];
  for (uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", byte);
    text += hex;
  }
  return text;
}

// A receiver bound to address:port that keeps what arrives.
class CommandCapture {
 public:
  CommandCapture(const std::string& address, uint16_t port) {
    std::string error;
    socket_ = Socket::BindUdp(address, port, &error);
    EXPECT_TRUE(socket_.isOpen()) << error;
  }

  // The next datagram, waiting at most timeout (zero: only what has arrived already).
  std::optional<Bytes> next(std::chrono::milliseconds timeout = std::chrono::milliseconds(0)) {
    socket_.setNonBlocking(timeout.count() == 0);
    if (timeout.count() > 0)
      socket_.setReceiveTimeout(timeout);
    Bytes buffer(64);
    std::optional<Socket::Datagram> datagram = socket_.receiveFrom(buffer.data(), buffer.size());
    if (!datagram)
      return std::nullopt;
    buffer.resize(std::min(datagram->size, buffer.size()));
    return buffer;
  }

  // Every datagram that has arrived so far, as hex texts. Datagrams sent on loopback are queued
  // by the time the sending call returns, so this sees everything sent before.
  std::vector<std::string> taken() {
    std::vector<std::string> texts;
    while (std::optional<Bytes> bytes = next())
      texts.push_back(HexText(*bytes));
    return texts;
  }

 private:
  Socket socket_;
};

}  // namespace brenlow::testing
