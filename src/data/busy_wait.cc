#include "data/busy_wait.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "data/connection.h"

namespace brenlow {
namespace {

thread_local std::stop_token threadStop;
thread_local std::chrono::steady_clock::time_point waitStart;

// Short enough that a stop request is noticed within a few milliseconds.
constexpr int kLongestStepMs = 10;

}  // namespace

void GiveUpStoreWaitsOnStop(std::stop_token stop) {
  threadStop = std::move(stop);
}

int StoreBusyWait(void* /*unused*/, int attempt) {
  const auto now = std::chrono::steady_clock::now();
  if (attempt == 0)
    waitStart = now;
  if (threadStop.stop_requested() || now - waitStart >= std::chrono::milliseconds(kBusyTimeoutMs))
    return 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(std::min(attempt + 1, kLongestStepMs)));
  return threadStop.stop_requested() ? 0 : 1;
}

}  // namespace brenlow
