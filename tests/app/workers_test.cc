#include "app/workers.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(Workers, StartInOrderAfterTheirDelaysAndStopPromptly) {
  std::mutex mutex;
  std::vector<std::pair<std::string, Clock::duration>> started;
  const auto begin = Clock::now();
  auto worker = [&](const std::string& name, std::chrono::milliseconds delay) {
    return WorkerSpec{delay, [&, name](std::stop_token stop) {
                        {
                          std::lock_guard lock(mutex);
                          started.emplace_back(name, Clock::now() - begin);
                        }
                        while (!stop.stop_requested())
                          std::this_thread::sleep_for(1ms);
                      }};
  };
  Workers workers;
  workers.start({worker("listener", 50ms), worker("terminals", 150ms), worker("clients", 250ms)});
  std::this_thread::sleep_for(400ms);
  const auto stopAsked = Clock::now();
  workers.stopAll();
  EXPECT_LT(Clock::now() - stopAsked, 100ms);

  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[0].first, "listener");
  EXPECT_EQ(started[1].first, "terminals");
  EXPECT_EQ(started[2].first, "clients");
  EXPECT_GE(started[0].second, 50ms);
  EXPECT_GE(started[1].second, 150ms);
  EXPECT_GE(started[2].second, 250ms);
}

TEST(Workers, StopDuringTheStartDelayNeverRunsTheWorker) {
  bool ran = false;
  Workers workers;
  workers.start({WorkerSpec{10s, [&](std::stop_token) { ran = true; }}});
  const auto stopAsked = Clock::now();
  workers.stopAll();
  EXPECT_LT(Clock::now() - stopAsked, 100ms);
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace brenlow
