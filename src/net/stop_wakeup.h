// Waiting for a socket to become readable in a way that a std::stop_token can interrupt.
//
// A worker blocks in poll() on its sockets plus an eventfd; a std::stop_callback writes the
// eventfd when stop is requested, so the worker wakes within microseconds and an idle worker
// uses no CPU at all (no polling interval).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <stop_token>
#include <vector>

namespace brenlow {

class StopWakeup {
 public:
  // Watches stop for as long as this object lives. Construct and use on one thread.
  explicit StopWakeup(std::stop_token stop);
  ~StopWakeup();
  StopWakeup(const StopWakeup&) = delete;
  StopWakeup& operator=(const StopWakeup&) = delete;

  bool stopRequested() const { return stop_.stop_requested(); }

  // Waits until one of fds can be read, stop is requested or timeout passes (a negative
  // timeout waits without limit). Returns one flag per fd, all false when stop was requested
  // or the time ran out; a failed wait (other than an interrupted one) also returns all false.
  std::vector<bool> waitReadable(std::span<const int> fds,
                                 std::chrono::milliseconds timeout = std::chrono::milliseconds(-1));
  // The same for one fd.
  bool waitReadable(int fd, std::chrono::milliseconds timeout = std::chrono::milliseconds(-1));

 private:
  std::stop_token stop_;
  int eventFd_ = -1;
  std::unique_ptr<std::stop_callback<std::function<void()>>> callback_;
};

}  // namespace brenlow
