#include "app/workers.h"

#include <condition_variable>
#include <mutex>

namespace brenlow {
namespace {

// Waits for the delay unless stop is requested first; true when the delay ran out.
bool WaitStartDelay(std::stop_token stop, std::chrono::milliseconds delay) {
  std::mutex mutex;
  std::condition_variable_any wakeUp;
  std::unique_lock lock(mutex);
  wakeUp.wait_for(lock, stop, delay, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace

void Workers::start(std::vector<WorkerSpec> specs) {
  for (WorkerSpec& spec : specs) {
    running_->fetch_add(1);
    threads_.emplace_back([spec = std::move(spec), running = running_](std::stop_token stop) {
      if (WaitStartDelay(stop, spec.startDelay))
        spec.run(stop);
      running->fetch_sub(1);
    });
  }
}

void Workers::stopAll(const std::function<void()>& whileWaiting) {
  for (std::jthread& thread : threads_)
    thread.request_stop();
  while (whileWaiting && running_->load() > 0) {
    whileWaiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  for (std::jthread& thread : threads_) {
    if (thread.joinable())
      thread.join();
  }
  threads_.clear();
}

}  // namespace brenlow
