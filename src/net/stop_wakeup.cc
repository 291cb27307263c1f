#include "net/stop_wakeup.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace brenlow {

StopWakeup::StopWakeup(std::stop_token stop) : stop_(std::move(stop)) {
  eventFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  int fd = eventFd_;
  // Runs on the thread that requests stop (or at once, when stop was already requested).
  callback_ = std::make_unique<std::stop_callback<std::function<void()>>>(
      stop_, std::function<void()>([fd] {
        if (fd < 0)
          return;
        uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(fd, &one, sizeof one);
      }));
}

StopWakeup::~StopWakeup() {
  // The callback goes first: after its destructor returns it no longer runs, nor is running.
  callback_.reset();
  if (eventFd_ >= 0)
    ::close(eventFd_);
}

std::vector<bool> StopWakeup::waitReadable(std::span<const int> fds,
                                           std::chrono::milliseconds timeout) {
  std::vector<bool> ready(fds.size(), false);
  std::vector<pollfd> watched;
  watched.reserve(fds.size() + 1);
  for (int fd : fds)
    watched.push_back(pollfd{fd, POLLIN, 0});
  // Without an eventfd (out of descriptors) the wait still ends on the time-out; callers that
  // must stop promptly pass a finite one.
  if (eventFd_ >= 0)
    watched.push_back(pollfd{eventFd_, POLLIN, 0});
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!stop_.stop_requested()) {
    int waitMs = -1;
    if (timeout.count() >= 0) {
      auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() < 0)
        return ready;
      waitMs = static_cast<int>(left.count());
    }
    if (eventFd_ < 0 && waitMs < 0)
      waitMs = 100;
    int count = ::poll(watched.data(), watched.size(), waitMs);
    if (count < 0) {
      if (errno == EINTR)
        continue;
      return ready;
    }
    if (count == 0) {
      if (timeout.count() >= 0)
        return ready;
      continue;
    }
    if (stop_.stop_requested())
      return ready;
    bool any = false;
    for (size_t i = 0; i < fds.size(); ++i) {
      ready[i] = (watched[i].revents & (POLLIN | POLLERR | POLLHUP)) != 0;
      any = any || ready[i];
    }
    if (any)
      return ready;
  }
  return ready;
}

bool StopWakeup::waitReadable(int fd, std::chrono::milliseconds timeout) {
  int fds[] = {fd};
  return waitReadable(std::span<const int>(fds), timeout)[0];
}

}  // namespace brenlow
