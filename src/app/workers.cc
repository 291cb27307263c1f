#include "app/workers.h"

namespace brenlow {
namespace {

// Waits until the clock has moved on by delay, unless stop is requested first; true when the
// delay ran out. The wait really blocks for what is left of the delay on the clock; a clock
// that a test moves ends it through the moves counter instead.
template <typename DelayWait>
bool WaitStartDelay(const std::stop_token& stop, const Clock& clock,
                    std::chrono::steady_clock::time_point until, DelayWait& delayWait) {
  std::unique_lock lock(delayWait.mutex);
  while (!stop.stop_requested()) {
    const auto left = until - clock.monotonicNow();
    if (left <= std::chrono::steady_clock::duration::zero())
      return true;
    const uint64_t seen = delayWait.moves;
    delayWait.moved.wait_for(lock, stop, left, [&] { return delayWait.moves != seen; });
  }
  return false;
}

}  // namespace

void Workers::start(std::vector<WorkerSpec> specs) {
  const auto started = clock_.monotonicNow();
  for (WorkerSpec& spec : specs) {
    running_->fetch_add(1);
    const auto until = started + spec.startDelay;
    threads_.emplace_back([spec = std::move(spec), running = running_, &clock = clock_,
                           delayWait = delayWait_, until](std::stop_token stop) {
      if (WaitStartDelay(stop, clock, until, *delayWait))
        spec.run(stop);
      running->fetch_sub(1);
    });
  }
}

void Workers::clockMoved() {
  std::lock_guard lock(delayWait_->mutex);
  ++delayWait_->moves;
  delayWait_->moved.notify_all();
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
