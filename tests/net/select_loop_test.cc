#include "net/select_loop.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <latch>
#include <mutex>
#include <thread>

#include "core/clock.h"
#include "net/connection_limits.h"
#include "support/kernel_sockets.h"
#include "support/loopback_port.h"
#include "support/wait_for.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackPort;
using testing::OpenDescriptorCount;
using testing::UnreadBytes;
using testing::WaitFor;

// A service for the loop's own tests. Requests are lines; every request carried out is
// recorded. "hold" keeps the loop busy until the test calls release(), "big" asks for a reply of 16
// MiB, "mute" is not answered; anything else is answered with the registry's count as four digits
// (the service learns it from the test through count).
struct ScriptedService {
  struct State {
    std::mutex mutex;
    std::vector<std::string> served;  // guarded by mutex
    std::latch held{1};
  };
  std::shared_ptr<State> state = std::make_shared<State>();

  size_t operator()(std::string_view buffered, const std::string& /*peer*/,
                    std::string& reply) const {
    size_t end = buffered.find('\n');
    if (end == std::string_view::npos)
      return 0;
    std::string request(buffered.substr(0, end));
    if (request != "big") {
      std::lock_guard lock(state->mutex);
      state->served.push_back(request);
    }
    if (request == "hold") {
      state->held.wait();
    } else if (request == "big") {
      reply.append(size_t{16} << 20, 'b');
    } else if (request != "mute") {
      reply.append(request.substr(0, 4));
    }
    if (request == "big") {  // recorded once its reply is made
      std::lock_guard lock(state->mutex);
      state->served.push_back(request);
    }
    return end + 1;
  }

  std::vector<std::string> served() const {
    std::lock_guard lock(state->mutex);
    return state->served;
  }
  // Waits until n requests were served.
  bool waitServed(size_t n) const {
    return WaitFor([&] { return served().size() >= n; });
  }
  void release() const { state->held.count_down(); }
};

// Sends a four-letter word as a request and returns its answer.
std::string Ask(TerminalConnection& connection, const std::string& word) {
  EXPECT_TRUE(connection.send(word + "\n"));
  return connection.receive(word.size(), 10s);
}

TEST(SelectLoop, ReadyConnectionsAreServedInTheOrderTheyWereAccepted) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection gate = port.connect();
  std::vector<TerminalConnection> clients;
  for (int i = 0; i < 3; ++i)
    clients.push_back(port.connect());
  ASSERT_EQ(Ask(gate, "gate"), "gate");
  for (TerminalConnection& client : clients)
    ASSERT_TRUE(client.send("mute\n"));
  ASSERT_TRUE(service.waitServed(4));

  // While the loop is held, the three send in reverse order; the next pass serves them in
  // registry order.
  ASSERT_TRUE(gate.send("hold\n"));
  ASSERT_TRUE(service.waitServed(5));
  for (const char* text : {"c", "b", "a"})
    ASSERT_TRUE(clients[*text - 'a'].send(std::string(text) + "\n"));
  service.release();
  ASSERT_TRUE(service.waitServed(8));
  std::vector<std::string> served = service.served();
  EXPECT_EQ(std::vector<std::string>(served.begin() + 5, served.end()),
            (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SelectLoop, RequestsAreAStreamWhateverPiecesTheyArriveIn) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection terminal = port.connect();
  for (const char* piece : {"pi", "n", "g\nfir"}) {
    ASSERT_TRUE(terminal.send(piece));
    // The loop reads each piece by itself.
    ASSERT_TRUE(WaitFor([&] { return testing::PeerReadEverything(terminal.socket().fd()); }));
  }
  EXPECT_EQ(terminal.receive(4, 10s), "ping");
  ASSERT_TRUE(terminal.send("e\nsalt\npepp\n"));
  EXPECT_EQ(terminal.receive(12, 10s), "firesaltpepp");
  EXPECT_EQ(service.served(), (std::vector<std::string>{"ping", "fire", "salt", "pepp"}));
}

TEST(SelectLoop, AClosedPeerLeavesTheRegistry) {
  ScriptedService service;
  LoopbackPort port(service, LoopLimits{2, 2});
  TerminalConnection idle = port.connect(), leaving = port.connect();
  ASSERT_EQ(Ask(leaving, "ping"), "ping");
  const size_t open = OpenDescriptorCount();
  leaving.close();
  // Both ends closed: the loop has let go of it.
  ASSERT_TRUE(WaitFor([&] { return OpenDescriptorCount() == open - 2; }));
  // Had the closed one stayed, the full registry would close the one idle longest for it.
  TerminalConnection newcomer = port.connect();
  EXPECT_EQ(Ask(newcomer, "ping"), "ping");
  EXPECT_EQ(Ask(idle, "ping"), "ping");
}

TEST(SelectLoop, OneAddressHoldsItsShareAndAFullRegistryClosesTheConnectionIdleLongest) {
  ScriptedService service;
  LoopbackPort port(service, LoopLimits{3, 2});
  TerminalConnection first = port.connect(), second = port.connect();
  TerminalConnection third = port.connect();  // beyond the share of 127.0.0.1
  EXPECT_EQ(third.receive(1, 10s), "");
  EXPECT_TRUE(third.peerClosed());

  TerminalConnection other = port.connect("127.0.0.2");
  EXPECT_EQ(Ask(other, "ping"), "ping");
  EXPECT_EQ(Ask(first, "ping"), "ping");
  // Full now; second has been idle longest.
  TerminalConnection newcomer = port.connect("127.0.0.3");
  EXPECT_EQ(Ask(newcomer, "ping"), "ping");
  EXPECT_EQ(second.receive(1, 10s), "");
  EXPECT_TRUE(second.peerClosed());
  EXPECT_EQ(Ask(first, "ping"), "ping");
  EXPECT_EQ(Ask(other, "ping"), "ping");
}

TEST(SelectLoop, OutOfDescriptorsAConnectionIsClosedAndTheLoopDoesNotSpin) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection first = port.connect();
  ASSERT_EQ(Ask(first, "ping"), "ping");  // the loop runs (and has raised the limit)

  // Every descriptor of the process taken but one, which the next terminal gets.
  std::vector<int> taken;
  for (int fd; (fd = ::dup(0)) >= 0;)
    taken.push_back(fd);
  ::close(taken.back());
  taken.pop_back();
  TerminalConnection refused = port.connect();
  EXPECT_EQ(refused.receive(1, 10s), "");
  EXPECT_TRUE(refused.peerClosed());

  clockid_t cpuClock;
  ASSERT_EQ(pthread_getcpuclockid(port.thread().native_handle(), &cpuClock), 0);
  timespec before{}, after{};
  clock_gettime(cpuClock, &before);
  std::this_thread::sleep_for(300ms);
  clock_gettime(cpuClock, &after);
  EXPECT_LT((after.tv_sec - before.tv_sec) * 1000000000L + (after.tv_nsec - before.tv_nsec),
            5000000L);

  for (int fd : taken)
    ::close(fd);
  TerminalConnection later = port.connect();
  EXPECT_EQ(Ask(later, "ping"), "ping");
  EXPECT_EQ(Ask(first, "ping"), "ping");
}

TEST(SelectLoop, APeerThatDoesNotReadDelaysOnlyItselfAndIsDroppedWhenItsRepliesStall) {
  ScriptedService service;
  ManualClock clock;
  LoopbackPort port(service, {}, clock);
  TerminalConnection stalled = port.connect(), other = port.connect();
  ASSERT_EQ(Ask(other, "ping"), "ping");
  stalled.socket().setReceiveBuffer(4096);
  ASSERT_TRUE(stalled.send("big\nlate\n"));
  ASSERT_TRUE(service.waitServed(2));
  for (int i = 0; i < 5; ++i) {
    auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask(other, "ping"), "ping");
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 500ms);
  }
  // Its queue is far beyond the pause: its next request is not read.
  std::vector<std::string> served = service.served();
  EXPECT_EQ(std::count(served.begin(), served.end(), "late"), 0);

  // Just short of 2 s without a move it stays. Two answers to the other peer later, the loop
  // has looked at the moved clock at the end of a pass.
  const size_t open = OpenDescriptorCount();
  clock.advance(kStalledOutputLimit - 1ms);
  port.clockMoved();
  EXPECT_EQ(Ask(other, "ping"), "ping");
  EXPECT_EQ(Ask(other, "ping"), "ping");
  EXPECT_EQ(OpenDescriptorCount(), open);

  // Dropped once nothing moved for 2 s: what the kernel still holds, then the end.
  clock.advance(1ms);
  port.clockMoved();
  ASSERT_TRUE(WaitFor([&] { return OpenDescriptorCount() == open - 1; }));
  std::string got = stalled.receive(size_t{16} << 20, 10s);
  EXPECT_TRUE(stalled.peerClosed()) << got.size() << " bytes";
  EXPECT_LT(got.size(), size_t{16} << 20);
  EXPECT_EQ(Ask(other, "ping"), "ping");
}

TEST(SelectLoop, AStopEndsPromptlyWhileRepliesWaitForTheirPeer) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection stalled = port.connect();
  ASSERT_TRUE(stalled.send("big\n"));
  ASSERT_TRUE(service.waitServed(1));
  // The reply is on its way and waits for the peer.
  ASSERT_TRUE(WaitFor([&] { return UnreadBytes(stalled.socket().fd()) > 0; }));

  auto start = std::chrono::steady_clock::now();
  port.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

TEST(SelectLoop, APeerThatGoesAwayInTheMiddleOfAReplyIsDropped) {
  ScriptedService service;
  LoopbackPort port(service, LoopLimits{2, 2});
  TerminalConnection leaving = port.connect(), other = port.connect();
  ASSERT_EQ(Ask(other, "ping"), "ping");
  ASSERT_TRUE(leaving.send("big\n"));
  ASSERT_TRUE(service.waitServed(2));
  ASSERT_TRUE(WaitFor([&] { return UnreadBytes(leaving.socket().fd()) > 0; }));
  const size_t open = OpenDescriptorCount();
  leaving.close();  // unread bytes: the kernel resets the connection
  ASSERT_TRUE(WaitFor([&] { return OpenDescriptorCount() == open - 2; }));
  // Its place is free again: a newcomer does not close the one idle longest.
  TerminalConnection newcomer = port.connect();
  EXPECT_EQ(Ask(newcomer, "ping"), "ping");
  EXPECT_EQ(Ask(other, "ping"), "ping");
}

TEST(SelectLoop, ARequestSentBeforeThePeerStopsSendingIsStillAnswered) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection terminal = port.connect();
  ASSERT_TRUE(terminal.send("ping\n"));
  ::shutdown(terminal.socket().fd(), SHUT_WR);
  EXPECT_EQ(terminal.receive(5, 10s), "ping");
  EXPECT_TRUE(terminal.peerClosed());
}

}  // namespace
}  // namespace brenlow
