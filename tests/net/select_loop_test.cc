#include "net/select_loop.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <thread>

#include "loopback_port.h"
#include "net/request_io.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackPort;

// A service for the loop's own tests. Every receive is recorded; "hold" keeps the loop busy
// for 300 ms, "big" asks for a reply of 64 MiB, "mute" is not answered; anything else is
// answered with the registry's count as four digits.
struct ScriptedService {
  struct State {
    std::mutex mutex;
    std::vector<std::string> served;  // guarded by mutex
  };
  std::shared_ptr<State> state = std::make_shared<State>();

  void operator()(ConnectionRegistry& registry, ConnectionRegistry::Handle handle) const {
    std::optional<std::string> received = ReceiveRequest(registry, handle, 64);
    if (!received)
      return;
    {
      std::lock_guard lock(state->mutex);
      state->served.push_back(*received);
    }
    Reply reply;
    if (*received == "hold") {
      std::this_thread::sleep_for(300ms);
    } else if (*received == "big") {
      reply.append(std::string(64 << 20, 'b'));
    } else if (*received != "mute") {
      char count[8];
      std::snprintf(count, sizeof count, "%04zu", registry.count());
      reply.append(count);
    }
    reply.send(registry, handle);
  }

  std::vector<std::string> served() const {
    std::lock_guard lock(state->mutex);
    return state->served;
  }
  // Waits until n receives were served.
  bool waitServed(size_t n) const {
    for (auto until = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < until; std::this_thread::sleep_for(5ms)) {
      if (served().size() >= n)
        return true;
    }
    return false;
  }
};

std::string Ask(TerminalConnection& connection, const std::string& request) {
  EXPECT_TRUE(connection.send(request));
  return connection.receive(4, 10s);
}

TEST(SelectLoop, ReadyConnectionsAreServedInTheOrderTheyWereAccepted) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection gate = port.connect();
  std::vector<TerminalConnection> clients;
  for (int i = 0; i < 3; ++i)
    clients.push_back(port.connect());
  ASSERT_EQ(Ask(gate, "g"), "0004");
  for (TerminalConnection& client : clients)
    ASSERT_TRUE(client.send("mute"));
  ASSERT_TRUE(service.waitServed(4));

  // While the loop is held, the three send in reverse order; the next pass serves them in
  // registry order.
  ASSERT_TRUE(gate.send("hold"));
  ASSERT_TRUE(service.waitServed(5));
  for (const char* text : {"c", "b", "a"}) {
    ASSERT_TRUE(clients[*text - 'a'].send(text));
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(service.waitServed(8));
  std::vector<std::string> served = service.served();
  EXPECT_EQ(std::vector<std::string>(served.begin() + 5, served.end()),
            (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SelectLoop, AClosedPeerIsRemovedWhileTheOthersKeepBeingServed) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection first = port.connect(), second = port.connect(), third = port.connect();
  EXPECT_EQ(Ask(first, "x"), "0003");
  second.close();
  EXPECT_EQ(Ask(third, "x"), "0002");
  EXPECT_EQ(Ask(first, "x"), "0002");
  TerminalConnection fourth = port.connect();
  EXPECT_EQ(Ask(fourth, "x"), "0003");
}

TEST(SelectLoop, HoldsItsCapacityAndClosesAConnectionBeyondIt) {
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  const rlim_t needed = 2 * (ConnectionRegistry::kMaxConnections + 1) + 64;
  if (files.rlim_cur < needed) {
    files.rlim_cur = std::min(needed, files.rlim_max);
    setrlimit(RLIMIT_NOFILE, &files);
  }
  if (files.rlim_cur < needed) {
    GTEST_SKIP() << "too few file descriptors allowed";
  }

  ScriptedService service;
  LoopbackPort port(service);
  std::vector<TerminalConnection> clients;
  // Four at a time, within the listening backlog; each group is in once its last one is
  // served.
  for (size_t i = 1; i <= ConnectionRegistry::kMaxConnections; ++i) {
    clients.push_back(port.connect());
    if (i % 4 == 0) {
      ASSERT_EQ(std::stoul(Ask(clients.back(), "x")), i);
    }
  }
  EXPECT_EQ(Ask(clients.back(), "x"), "1024");
  TerminalConnection beyond = port.connect();
  EXPECT_EQ(beyond.receive(1, 10s), "");
  EXPECT_TRUE(beyond.peerClosed());
  EXPECT_EQ(Ask(clients.front(), "x"), "1024");
}

TEST(SelectLoop, OutOfDescriptorsAConnectionIsClosedAndTheLoopDoesNotSpin) {
  std::string error;
  Socket listening = Socket::ListenTcp("127.0.0.1", 0, kListenBacklog, &error);
  ASSERT_TRUE(listening.isOpen()) << error;
  uint16_t portNumber = listening.localPort();
  ScriptedService service;
  SelectLoop loop(std::move(listening), service);
  std::jthread thread([&loop](std::stop_token stop) { loop.run(stop); });
  TerminalConnection first;
  ASSERT_TRUE(first.connect("127.0.0.1", portNumber, &error)) << error;
  ASSERT_EQ(Ask(first, "x"), "0001");  // the loop runs (and has raised the limit)

  // Every descriptor of the process taken but one, which the next terminal gets.
  std::vector<int> taken;
  for (int fd; (fd = ::dup(0)) >= 0;)
    taken.push_back(fd);
  ::close(taken.back());
  taken.pop_back();
  TerminalConnection refused;
  ASSERT_TRUE(refused.connect("127.0.0.1", portNumber, &error)) << error;
  EXPECT_EQ(refused.receive(1, 10s), "");
  EXPECT_TRUE(refused.peerClosed());

  clockid_t cpuClock;
  ASSERT_EQ(pthread_getcpuclockid(thread.native_handle(), &cpuClock), 0);
  timespec before{}, after{};
  clock_gettime(cpuClock, &before);
  std::this_thread::sleep_for(300ms);
  clock_gettime(cpuClock, &after);
  EXPECT_LT((after.tv_sec - before.tv_sec) * 1000000000L + (after.tv_nsec - before.tv_nsec),
            5000000L);

  for (int fd : taken)
    ::close(fd);
  TerminalConnection later;
  ASSERT_TRUE(later.connect("127.0.0.1", portNumber, &error)) << error;
  EXPECT_EQ(Ask(later, "x"), "0002");
  EXPECT_EQ(Ask(first, "x"), "0002");
}

TEST(SelectLoop, APeerThatDoesNotReadIsDroppedAfterTwoSeconds) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection stalled = port.connect(), other = port.connect();
  ASSERT_EQ(Ask(other, "x"), "0002");
  ASSERT_TRUE(stalled.send("big"));
  ASSERT_TRUE(service.waitServed(2));
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Ask(other, "x"), "0001");
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GT(waited, 1500ms);
  EXPECT_LT(waited, 5s);
}

TEST(SelectLoop, AStopEndsAReplyThatWaitsForItsPeer) {
  std::string error;
  Socket listening = Socket::ListenTcp("127.0.0.1", 0, kListenBacklog, &error);
  ASSERT_TRUE(listening.isOpen()) << error;
  uint16_t portNumber = listening.localPort();
  ScriptedService service;
  SelectLoop loop(std::move(listening), service);
  std::jthread thread([&loop](std::stop_token stop) { loop.run(stop); });
  TerminalConnection stalled;
  ASSERT_TRUE(stalled.connect("127.0.0.1", portNumber, &error)) << error;
  ASSERT_TRUE(stalled.send("big"));
  ASSERT_TRUE(service.waitServed(1));
  std::this_thread::sleep_for(100ms);  // the reply fills the buffers and waits

  auto start = std::chrono::steady_clock::now();
  thread.request_stop();
  thread.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

TEST(SelectLoop, APeerThatGoesAwayInTheMiddleOfAReplyIsDropped) {
  ScriptedService service;
  LoopbackPort port(service);
  TerminalConnection leaving = port.connect(), other = port.connect();
  ASSERT_EQ(Ask(other, "x"), "0002");
  ASSERT_TRUE(leaving.send("big"));
  ASSERT_TRUE(service.waitServed(2));
  std::this_thread::sleep_for(50ms);
  leaving.close();  // unread bytes: the kernel resets the connection
  EXPECT_EQ(Ask(other, "x"), "0001");
}

TEST(SelectLoop, AnIdleLoopUsesNoTimeAndStopsWithinMilliseconds) {
  std::string error;
  Socket listening = Socket::ListenTcp("127.0.0.1", 0, kListenBacklog, &error);
  ASSERT_TRUE(listening.isOpen()) << error;
  uint16_t portNumber = listening.localPort();
  ScriptedService service;
  SelectLoop loop(std::move(listening), service);
  std::jthread thread([&loop](std::stop_token stop) { loop.run(stop); });
  TerminalConnection idle;
  ASSERT_TRUE(idle.connect("127.0.0.1", portNumber, &error)) << error;
  ASSERT_EQ(Ask(idle, "x"), "0001");

  clockid_t cpuClock;
  ASSERT_EQ(pthread_getcpuclockid(thread.native_handle(), &cpuClock), 0);
  auto cpuTime = [cpuClock] {
    timespec now{};
    clock_gettime(cpuClock, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
  };
  auto before = cpuTime();
  std::this_thread::sleep_for(500ms);
  EXPECT_LT(cpuTime() - before, 5ms);

  auto start = std::chrono::steady_clock::now();
  thread.request_stop();
  thread.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_EQ(idle.receive(1, 5s), "");  // its connections are closed
  EXPECT_TRUE(idle.peerClosed());
}

TEST(SelectLoop, APortInUseEndsOnlyItsOwnLoop) {
  ScriptedService service;
  LoopbackPort serving(service);
  ::testing::internal::CaptureStderr();
  std::stop_source stop;
  EXPECT_FALSE(SelectLoop("127.0.0.1", serving.port(), service).run(stop.get_token()));
  std::string written = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(written, "brenlow: port " + std::to_string(serving.port()) +
                         " not served: bind 127.0.0.1:" + std::to_string(serving.port()) +
                         ": Address already in use\n");
  TerminalConnection client = serving.connect();
  EXPECT_EQ(Ask(client, "x"), "0001");
}

}  // namespace
}  // namespace brenlow
