#include "app/workers.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "core/clock.h"
#include "support/wait_for.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::WaitFor;

// The workers' start delays on a clock the test moves: each starts when the clock reaches its
// delay, in order, and stays a worker until stop is asked.
struct StartLog {
  std::mutex mutex;
  std::vector<std::pair<std::string, std::chrono::steady_clock::duration>> started;

  size_t count() {
    std::lock_guard lock(mutex);
    return started.size();
  }
};

TEST(Workers, StartInOrderWhenTheClockReachesTheirDelaysAndStopPromptly) {
  ManualClock clock;
  const auto begin = clock.monotonicNow();
  StartLog log;
  auto worker = [&](const std::string& name, std::chrono::milliseconds delay) {
    return WorkerSpec{delay, [&, name](std::stop_token stop) {
                        {
                          std::lock_guard lock(log.mutex);
                          log.started.emplace_back(name, clock.monotonicNow() - begin);
                        }
                        std::mutex mutex;
                        std::condition_variable_any stopped;
                        std::unique_lock lock(mutex);
                        stopped.wait(lock, stop, [] { return false; });
                      }};
  };
  Workers workers(clock);
  workers.start({worker("listener", 50ms), worker("terminals", 150ms), worker("clients", 250ms)});

  // Each step moves the clock to just before a delay, then onto it: exactly one more starts.
  for (auto [before, count] : {std::pair{49ms, 0u}, {149ms, 1u}, {249ms, 2u}}) {
    clock.advance(before - (clock.monotonicNow() - begin));
    workers.clockMoved();
    clock.advance(1ms);
    workers.clockMoved();
    ASSERT_TRUE(WaitFor([&] { return log.count() == count + 1; })) << count;
  }
  const auto stopAsked = std::chrono::steady_clock::now();
  workers.stopAll();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 100ms);

  // Started when the clock reached each delay, not before.
  using Started = std::pair<std::string, std::chrono::steady_clock::duration>;
  ASSERT_EQ(log.started.size(), 3u);
  EXPECT_EQ(log.started[0], Started("listener", 50ms));
  EXPECT_EQ(log.started[1], Started("terminals", 150ms));
  EXPECT_EQ(log.started[2], Started("clients", 250ms));
}

// The program's clock: the delays really pass.
TEST(Workers, OnTheSystemClockTheDelaysPass) {
  SystemClock clock;
  StartLog log;
  const auto begin = std::chrono::steady_clock::now();
  Workers workers(clock);
  workers.start({WorkerSpec{50ms, [&](std::stop_token) {
                              std::lock_guard lock(log.mutex);
                              log.started.emplace_back("",
                                                       std::chrono::steady_clock::now() - begin);
                            }}});
  ASSERT_TRUE(WaitFor([&] { return log.count() == 1; }));
  EXPECT_GE(log.started[0].second, 50ms);
}

TEST(Workers, StopDuringTheStartDelayNeverRunsTheWorker) {
  SystemClock clock;
  bool ran = false;
  Workers workers(clock);
  workers.start({WorkerSpec{10s, [&](std::stop_token) { ran = true; }}});
  const auto stopAsked = std::chrono::steady_clock::now();
  workers.stopAll();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 100ms);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace brenlow
