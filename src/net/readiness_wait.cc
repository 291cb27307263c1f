#include "net/readiness_wait.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "net/socket.h"

namespace brenlow {
namespace {

constexpr uint64_t kWakeTag = UINT64_MAX;
constexpr uint64_t kNudgeTag = UINT64_MAX - 1;

// An eventfd for waking a wait; -1 when the kernel refuses one.
int OpenEventDescriptor(std::string* error) {
  int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0 && error)
    *error = ErrnoText("eventfd", errno);
  return fd;
}

}  // namespace

ReadinessWait::ReadinessWait(size_t capacity, std::string* error)
    : capacity_(static_cast<int>(capacity) + 2),  // the two wake-up descriptors take places
      events_(new epoll_event[capacity + 2]) {
  poll_ = epoll_create1(EPOLL_CLOEXEC);
  if (poll_ < 0) {
    if (error)
      *error = ErrnoText("epoll_create1", errno);
    return;
  }
  for (auto [fd, tag] : {std::pair{&wake_, kWakeTag}, std::pair{&nudge_, kNudgeTag}}) {
    *fd = OpenEventDescriptor(error);
    if (*fd >= 0 && !add(*fd, tag)) {
      if (error)
        *error = ErrnoText("epoll_ctl", errno);
      ::close(*fd);
      *fd = -1;
    }
  }
}

ReadinessWait::~ReadinessWait() {
  if (nudge_ >= 0)
    ::close(nudge_);
  if (wake_ >= 0)
    ::close(wake_);
  if (poll_ >= 0)
    ::close(poll_);
}

bool ReadinessWait::add(int fd, uint64_t tag) {
  return add(fd, tag, true, false);
}

namespace {

bool Control(int poll, int operation, int fd, uint64_t tag, bool readable, bool writable) {
  epoll_event event{};
  event.events = (readable ? EPOLLIN : 0u) | (writable ? EPOLLOUT : 0u);
  event.data.u64 = tag;
  return epoll_ctl(poll, operation, fd, &event) == 0;
}

}  // namespace

bool ReadinessWait::add(int fd, uint64_t tag, bool readable, bool writable) {
  return Control(poll_, EPOLL_CTL_ADD, fd, tag, readable, writable);
}

bool ReadinessWait::change(int fd, uint64_t tag, bool readable, bool writable) {
  return Control(poll_, EPOLL_CTL_MOD, fd, tag, readable, writable);
}

void ReadinessWait::wake() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wake_, &one, sizeof one);
}

void ReadinessWait::nudge() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(nudge_, &one, sizeof one);
}

void ReadinessWait::takeNudge() {
  uint64_t count = 0;
  [[maybe_unused]] ssize_t taken = ::read(nudge_, &count, sizeof count);
}

void ReadinessWait::wait(std::vector<uint64_t>* ready) {
  ready->clear();
  int count = epoll_wait(poll_, events_.get(), capacity_, -1);
  for (int i = 0; i < count; ++i) {
    if (events_[i].data.u64 == kNudgeTag)
      takeNudge();
    else if (events_[i].data.u64 != kWakeTag)
      ready->push_back(events_[i].data.u64);
  }
}

void ReadinessWait::wait(std::vector<Event>* ready, std::chrono::milliseconds timeout) {
  ready->clear();
  int waitMs = timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
  int count = epoll_wait(poll_, events_.get(), capacity_, waitMs);
  for (int i = 0; i < count; ++i) {
    if (events_[i].data.u64 == kNudgeTag)
      takeNudge();
    if (events_[i].data.u64 == kWakeTag || events_[i].data.u64 == kNudgeTag)
      continue;
    const uint32_t what = events_[i].events;
    // A closed or failed descriptor is reported to both sides: the next receive or send on it
    // tells what happened.
    const bool failed = (what & (EPOLLERR | EPOLLHUP)) != 0;
    ready->push_back(
        {events_[i].data.u64, failed || (what & EPOLLIN) != 0, failed || (what & EPOLLOUT) != 0});
  }
}

}  // namespace brenlow
