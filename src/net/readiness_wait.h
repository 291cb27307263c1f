// ReadinessWait: blocks until one of its descriptors is ready (readable, or writable where
// asked for) or another thread wakes it.
// An idle wait costs nothing (no time-out, no polling), and the cost of a wake-up grows with
// the number of ready descriptors, not the number registered.
//
// Two ways to end a wait from another thread: wake() for good (the owner stops), nudge() once
// (the owner should look at something else, such as a clock that a test moved).
//
// Descriptors are watched level-triggered: one that still holds unread bytes is reported again
// by the next wait. A descriptor leaves the set when it is closed. Each carries a tag that the
// wait reports back.
//
// Thread: add and wait on the owning thread; wake from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct epoll_event;

namespace brenlow {

class ReadinessWait {
 public:
  // capacity: how many ready descriptors one wait reports at most (the rest wait for the next
  // one). Fills error and leaves isOpen() false when the kernel refuses the wait's descriptors.
  ReadinessWait(size_t capacity, std::string* error);
  ~ReadinessWait();
  ReadinessWait(const ReadinessWait&) = delete;
  ReadinessWait& operator=(const ReadinessWait&) = delete;

  bool isOpen() const { return poll_ >= 0 && wake_ >= 0 && nudge_ >= 0; }
  // Readable from the first wake() on, for waits of other kinds that must end with this one.
  int wakeDescriptor() const { return wake_; }

  // Watches fd for readability (any tag but UINT64_MAX and UINT64_MAX - 1, which the wait keeps for
  // itself); false when the kernel refuses it.
  bool add(int fd, uint64_t tag);
  // Watches fd for what is asked (a descriptor with neither stays in the set, silent); change
  // replaces what an added descriptor is watched for.
  bool add(int fd, uint64_t tag, bool readable, bool writable);
  bool change(int fd, uint64_t tag, bool readable, bool writable);
  // Ends the current wait (or the next one) at once. Stays in effect: every later wait
  // returns at once too.
  void wake();
  // Ends the current wait (or the next one) once; nudges before that wait ends count as one.
  void nudge();
  // Blocks until a descriptor is readable or wake() was called; ready receives the tags of
  // the readable descriptors (none after a wake-up alone or a failed wait).
  void wait(std::vector<uint64_t>* ready);

  struct Event {
    uint64_t tag = 0;
    bool readable = false;  // also when the peer closed or the descriptor failed
    bool writable = false;
  };
  // The same with what each descriptor is ready for, waiting at most timeout (negative: without
  // limit).
  void wait(std::vector<Event>* ready, std::chrono::milliseconds timeout);

 private:
  void takeNudge();  // the nudge is spent

  int poll_ = -1;
  int wake_ = -1;
  int nudge_ = -1;
  int capacity_;
  std::unique_ptr<epoll_event[]> events_;  // room for the kernel's report
};

}  // namespace brenlow
