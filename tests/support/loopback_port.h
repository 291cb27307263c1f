// Test helpers for the terminal ports: a SelectLoop serving an ephemeral 127.0.0.1 port on a
// thread of its own, and reading a reply up to a known marker.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/connection_limits.h"
#include "net/select_loop.h"
#include "tools/terminal/terminal_client.h"

namespace brenlow::testing {

inline const Clock& RealClock() {
  static const SystemClock clock;
  return clock;
}

// Serves service on 127.0.0.1 at an ephemeral port while the object lives (or until stop());
// the destructor stops the loop and waits for it. The loop reads the real clock unless a test
// hands it one (which must outlive the port) to move with clockMoved().
class LoopbackPort {
 public:
  explicit LoopbackPort(ConnectionService service, LoopLimits limits = {},
                        const Clock& clock = RealClock()) {
    std::string error;
    Socket listening = Socket::ListenTcp("127.0.0.1", 0, kListenBacklog, &error);
    EXPECT_TRUE(listening.isOpen()) << error;
    port_ = listening.localPort();
    loop_ = std::make_unique<SelectLoop>(std::move(listening), std::move(service), clock, limits);
    thread_ = std::jthread([this](std::stop_token stop) { loop_->run(stop); });
  }
  ~LoopbackPort() { stop(); }

  uint16_t port() const { return port_; }
  // The loop looks at its clock again (the test moved it).
  void clockMoved() { loop_->clockMoved(); }
  // The loop's thread, for what a test measures of it (its CPU time, say).
  std::jthread& thread() { return thread_; }
  // Asks the loop to stop and waits until it has; the port is closed afterwards.
  void stop() {
    if (thread_.joinable()) {
      thread_.request_stop();
      thread_.join();
    }
  }

  // A connection from the loopback address source.
  TerminalConnection connect(const std::string& source = "127.0.0.1") const {
    TerminalConnection connection;
    std::string error;
    EXPECT_TRUE(connection.connect("127.0.0.1", port_, &error, source)) << error;
    return connection;
  }

 private:
  uint16_t port_ = 0;
  std::unique_ptr<SelectLoop> loop_;
  std::jthread thread_;  // last: stopped and joined before the loop goes
};

// Reads until the bytes end with marker (the answer to a probe sent last) and returns what came
// before it. Fails the test when the marker does not arrive within 10 s.
inline std::string ReplyBefore(TerminalConnection& connection, const std::string& marker) {
  std::string bytes;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (bytes.size() < marker.size() ||
         bytes.compare(bytes.size() - marker.size(), marker.size(), marker) != 0) {
    if (std::chrono::steady_clock::now() > deadline || connection.peerClosed()) {
      ADD_FAILURE() << "the probe's answer did not arrive; " << bytes.size() << " bytes came";
      return bytes;
    }
    bytes += connection.receive(1, std::chrono::milliseconds(100));
  }
  return bytes.substr(0, bytes.size() - marker.size());
}

// The UTF-16LE bytes of a text written as a u"" literal (the tests' own encoder).
inline std::string Le(std::u16string_view text) {
  std::string bytes;
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace brenlow::testing
