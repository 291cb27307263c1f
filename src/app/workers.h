// The three worker threads: the controller listener, then the select loops of ports 64124 and
// 62124, started in that order. Each waits its own start delay before doing anything else.
// Workers run until the process ends; at the end the shell asks them to stop and joins them,
// so that no thread touches the store while the process tears down.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "core/clock.h"

namespace brenlow {

struct WorkerSpec {
  std::chrono::milliseconds startDelay;
  // Runs until stop is requested (and returns soon after that).
  std::function<void(std::stop_token)> run;
};

class Workers {
 public:
  // The clock must outlive the workers.
  explicit Workers(const Clock& clock) : clock_(clock) {}
  ~Workers() { stopAll(); }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  void start(std::vector<WorkerSpec> specs);
  // Asks every worker to stop and waits until all have returned. While waiting it calls
  // whileWaiting (if given) every few milliseconds: the desktop program keeps its event loop
  // turning there, so that whatever a worker queued for the user-interface thread is handled.
  void stopAll(const std::function<void()>& whileWaiting = {});
  // Workers still in their start delay look at the clock again (a test moved it). Any thread.
  void clockMoved();

 private:
  // What workers in their start delay wait on; shared with the threads.
  struct DelayWait {
    std::mutex mutex;
    std::condition_variable_any moved;
    uint64_t moves = 0;  // guarded by mutex
  };

  const Clock& clock_;
  std::shared_ptr<DelayWait> delayWait_ = std::make_shared<DelayWait>();
  std::vector<std::jthread> threads_;  // user-interface thread only
  // Workers whose run has not returned yet; shared with the threads.
  std::shared_ptr<std::atomic<int>> running_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace brenlow
