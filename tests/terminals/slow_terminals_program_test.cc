// Misbehaving terminals against the real headless server: one that connects and sends nothing,
// one that sends a byte a second, and one that never reads its replies. The others are served
// on both ports all the same; the one that does not read delays only itself and is dropped once
// its replies stop moving for 2 s.
#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <latch>
#include <mutex>
#include <thread>

#include "support/headless_server.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using testing::ConnectWhenServed;
using testing::HeadlessServer;
using testing::kOneTeacherListSize;
using testing::RequestBytes;
using testing::TempDatabase;
using testing::WaitFor;

constexpr const char* kMac = "AA-01";
constexpr size_t kPeriodsReplySize = 35 * 120;
// Far above a request's own time (milliseconds, sanitizers included), far below a stall.
constexpr auto kPrompt = 500ms;

// A terminal that asks on both ports in turn and times every answer.
class TimedTerminal {
 public:
  // Asks once on each port, untimed: a loop's first request opens its thread's store
  // connection and prepares the statements, which under load takes longer than any answer may.
  TimedTerminal()
      : terminal_(ConnectWhenServed(kTerminalPort)), client_(ConnectWhenServed(kClientPort)) {
    askBoth();
  }

  // Asks for periods and the teacher list in turn for duration; returns the slowest answer.
  Clock::duration slowestDuring(Clock::duration duration) {
    Clock::duration slowest{};
    for (auto end = Clock::now() + duration; Clock::now() < end;)
      slowest = std::max(slowest, askBoth());
    return slowest;
  }

 private:
  // Asks for periods, then the teacher list; returns the slower answer.
  Clock::duration askBoth() {
    Clock::duration slower{};
    for (bool periods : {true, false}) {
      auto asked = Clock::now();
      TerminalConnection& connection = periods ? terminal_ : client_;
      size_t size = periods ? kPeriodsReplySize : kOneTeacherListSize;
      EXPECT_TRUE(connection.send(RequestBytes(periods ? 2 : kTeacherListKind, kMac)));
      EXPECT_EQ(connection.receive(size, 10s).size(), size);
      slower = std::max(slower, Clock::now() - asked);
    }
    return slower;
  }

  TerminalConnection terminal_;
  TerminalConnection client_;
};

std::string Milliseconds(Clock::duration duration) {
  return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count()) +
         " ms";
}

TEST(SlowTerminalsProgram, SilentTricklingAndNonReadingTerminalsDoNotHoldUpTheOthers) {
  TempDatabase store;
  store.addClass("一班", "", kMac);
  store.addTeacher("1", "张老师");
  HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());
  TimedTerminal timed;

  // Silent terminals and terminals sending a request one byte a second, on both ports.
  TerminalConnection silentTerminal = ConnectWhenServed(kTerminalPort);
  TerminalConnection silentClient = ConnectWhenServed(kClientPort);
  std::atomic<bool> stop{false};
  std::latch trickling(2);
  auto trickle = [&trickling](std::stop_token stopTrickling, uint16_t port, int32_t kind) {
    TerminalConnection connection = ConnectWhenServed(port);
    const std::string request = RequestBytes(kind, kMac);
    std::mutex mutex;
    std::condition_variable_any stopped;
    bool first = true;
    for (size_t at = 0; !stopTrickling.stop_requested(); at = (at + 1) % request.size()) {
      const bool sent = connection.send(request.substr(at, 1));
      if (at == 0 && first) {
        trickling.count_down();
        first = false;
      }
      if (!sent)
        return;
      // A byte a second is the point of this terminal.
      std::unique_lock lock(mutex);
      stopped.wait_for(lock, stopTrickling, 1s, [] { return false; });
    }
  };
  std::jthread trickleTerminal(trickle, kTerminalPort, 2);
  std::jthread trickleClient(trickle, kClientPort, kTeacherListKind);
  trickling.wait();
  auto slowest = timed.slowestDuring(3s);
  EXPECT_LT(slowest, kPrompt) << Milliseconds(slowest);

  // A terminal that asks and asks but never reads: its replies fill the socket's buffers and
  // its queue on the server; once they stop moving for 2 s, the server drops it.
  std::atomic<bool> dropped{false};
  std::jthread nonReader([&] {
    TerminalConnection connection = ConnectWhenServed(kTerminalPort);
    connection.socket().setReceiveBuffer(4096);
    const std::string request = RequestBytes(2, kMac);
    for (int sent = 0; sent < 5000 && !stop.load(); ++sent) {
      if (!connection.send(request)) {
        dropped.store(true);
        return;
      }
      std::this_thread::sleep_for(1ms);  // asking on and on, while the others are timed
    }
    // Everything sent: the connection is closed once the server gave up on it.
    connection.receiveUntilQuiet(10s, 10s);
    dropped.store(connection.peerClosed());
  });
  slowest = timed.slowestDuring(5s);
  EXPECT_LT(slowest, kPrompt) << Milliseconds(slowest);
  // The server no longer keeps it, and the others are served promptly again.
  EXPECT_TRUE(WaitFor([&] { return dropped.load(); }))
      << "the terminal that never reads was not dropped";
  slowest = timed.slowestDuring(1s);
  EXPECT_LT(slowest, kPrompt) << Milliseconds(slowest);

  stop.store(true);
  nonReader.join();
  trickleTerminal.request_stop();
  trickleClient.request_stop();
  trickleTerminal.join();
  trickleClient.join();
  EXPECT_EQ(server.stop(), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
