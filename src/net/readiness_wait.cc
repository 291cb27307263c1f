#include "net/readiness_wait.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "net/socket.h"

namespace brenlow {
namespace {

constexpr uint64_t kWakeTag = UINT64_MAX;

}  // namespace

ReadinessWait::ReadinessWait(size_t capacity, std::string* error)
    : capacity_(static_cast<int>(capacity) + 1),  // the wake-up descriptor takes one place
      events_(new epoll_event[capacity + 1]) {
  poll_ = epoll_create1(EPOLL_CLOEXEC);
  if (poll_ < 0) {
    if (error)
      *error = ErrnoText("epoll_create1", errno);
    return;
  }
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_ < 0 || !add(wake_, kWakeTag)) {
    if (error)
      *error = ErrnoText("eventfd", errno);
    if (wake_ >= 0)
      ::close(wake_);
    wake_ = -1;
  }
}

ReadinessWait::~ReadinessWait() {
  if (wake_ >= 0)
    ::close(wake_);
  if (poll_ >= 0)
    ::close(poll_);
}

bool ReadinessWait::add(int fd, uint64_t tag) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = tag;
  return epoll_ctl(poll_, EPOLL_CTL_ADD, fd, &event) == 0;
}

void ReadinessWait::wake() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wake_, &one, sizeof one);
}

void ReadinessWait::wait(std::vector<uint64_t>* ready) {
  ready->clear();
  int count = epoll_wait(poll_, events_.get(), capacity_, -1);
  for (int i = 0; i < count; ++i) {
    if (events_[i].data.u64 != kWakeTag)
      ready->push_back(events_[i].data.u64);
  }
}

}  // namespace brenlow
