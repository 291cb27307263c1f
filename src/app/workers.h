// The three worker threads: the controller listener, then the select loops of ports 64124 and
// 62124, started in that order. Each waits its own start delay before doing anything else.
// Workers run until the process ends; at the end the shell asks them to stop and joins them,
// so that no thread touches the store while the process tears down.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>
#include <vector>

namespace brenlow {

struct WorkerSpec {
  std::chrono::milliseconds startDelay;
  // Runs until stop is requested (and returns soon after that).
  std::function<void(std::stop_token)> run;
};

class Workers {
 public:
  Workers() = default;
  ~Workers() { stopAll(); }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  void start(std::vector<WorkerSpec> specs);
  // Asks every worker to stop and waits until all have returned. While waiting it calls
  // whileWaiting (if given) every few milliseconds: the desktop program keeps its event loop
  // turning there, so that whatever a worker queued for the user-interface thread is handled.
  void stopAll(const std::function<void()>& whileWaiting = {});

 private:
  std::vector<std::jthread> threads_;  // user-interface thread only
  // Workers whose run has not returned yet; shared with the threads.
  std::shared_ptr<std::atomic<int>> running_ = std::make_shared<std::atomic<int>>(0);
};

}  // namespace brenlow
