#include "net/select_loop.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <vector>

#include "core/messages.h"
#include "net/limited_log.h"
#include "net/readiness_wait.h"

namespace brenlow {
namespace {

using Handle = ConnectionRegistry::Handle;

// The listening socket's tag sorts before every connection handle.
constexpr uint64_t kListeningTag = 0;
// Accepts per pass, so that a flood of connections cannot keep the loop from its terminals.
constexpr int kAcceptsPerPass = 64;
// Bytes taken from a connection in one turn: many requests, and a bound on what it buffers.
constexpr size_t kReceiveChunk = 16 * 1024;
// Written-out bytes at the front of an output queue are let go once there are this many and
// they are at least half the queue, so that each byte is moved a bounded number of times.
constexpr size_t kOutputCompactBytes = 64 * 1024;
// The kernel's send queue of a connection. Left to grow by itself it takes megabytes for a
// peer that does not read, which the loop would fill with replies before its own queue pauses
// the peer; this is room for dozens of the largest replies.
constexpr int kSendBufferBytes = 256 * 1024;
// Descriptors the process may want: both ports full, plus the store and the rest.
constexpr rlim_t kDescriptorsWanted = 4 * ConnectionRegistry::kMaxConnections;

// The usual soft limit of 1024 descriptors would run out before two full registries do; the
// limit is raised toward the hard limit once, so that the registry decides who is refused.
void RaiseDescriptorLimit() {
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur >= kDescriptorsWanted)
    return;
  files.rlim_cur = std::min(kDescriptorsWanted, files.rlim_max);
  setrlimit(RLIMIT_NOFILE, &files);
}

// Linux caps every listen backlog at net.core.somaxconn without a word; an administrator whose
// kernel keeps it small (128 before Linux 5.4) learns it here, since a boot storm then costs
// the terminals retries of a second and more.
void ReportBacklogCap(uint16_t port) {
  std::ifstream setting("/proc/sys/net/core/somaxconn");
  long cap = 0;
  if (setting >> cap && cap > 0 && cap < kListenBacklog) {
    WriteStderrLine("port " + std::to_string(port) + ": the kernel caps the listen backlog at " +
                    std::to_string(cap) + " (net.core.somaxconn); " +
                    std::to_string(kListenBacklog) + " would take a school's terminals at once");
  }
}

}  // namespace

SelectLoop::SpareDescriptor::SpareDescriptor() {
  reopen();
}

SelectLoop::SpareDescriptor::~SpareDescriptor() {
  release();
}

bool SelectLoop::SpareDescriptor::release() {
  if (fd_ < 0)
    return false;
  ::close(fd_);
  fd_ = -1;
  return true;
}

void SelectLoop::SpareDescriptor::reopen() {
  if (fd_ < 0)
    fd_ = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

SelectLoop::SelectLoop(std::string address, uint16_t port, ConnectionService service,
                       const Clock& clock, LoopLimits limits)
    : address_(std::move(address)),
      port_(port),
      service_(std::move(service)),
      clock_(clock),
      limits_(limits),
      registry_(limits.connections),
      wait_(limits.connections + 1, &waitError_) {}

SelectLoop::SelectLoop(Socket listening, ConnectionService service, const Clock& clock,
                       LoopLimits limits)
    : port_(listening.localPort()),
      listening_(std::move(listening)),
      service_(std::move(service)),
      clock_(clock),
      limits_(limits),
      registry_(limits.connections),
      wait_(limits.connections + 1, &waitError_) {}

bool SelectLoop::run(std::stop_token stop) {
  RaiseDescriptorLimit();
  std::string error;
  if (!listening_.isOpen()) {
    listening_ = Socket::ListenTcp(address_, port_, kListenBacklog, &error);
    if (!listening_.isOpen()) {
      WriteStderrLine("port " + std::to_string(port_) + " not served: " + error);
      return false;
    }
    ReportBacklogCap(port_);
  }
  if (!wait_.isOpen() || !wait_.add(listening_.fd(), kListeningTag)) {
    WriteStderrLine("port " + std::to_string(port_) + " not served: " +
                    (wait_.isOpen() ? ErrnoText("epoll_ctl", errno) : waitError_));
    return false;
  }
  std::stop_callback wakeOnStop(stop, [this] { wait_.wake(); });

  std::vector<ReadinessWait::Event> events;
  // This pass's turns in registry order: readable, writable.
  std::map<Handle, std::pair<bool, bool>> turns;
  std::chrono::milliseconds untilStall(-1);
  while (!stop.stop_requested()) {
    wait_.wait(&events, moreWork_.empty() ? untilStall : std::chrono::milliseconds(0));
    turns.clear();
    bool accept = false;
    for (const ReadinessWait::Event& event : events) {
      if (event.tag == kListeningTag) {
        accept = true;
      } else {
        turns[event.tag] = {event.readable, event.writable};
      }
    }
    for (Handle handle : moreWork_)
      turns.try_emplace(handle, false, false);
    moreWork_.clear();
    if (accept)
      acceptPending();
    for (const auto& [handle, ready] : turns) {
      if (stop.stop_requested())
        break;
      turn(handle, ready.first, ready.second, stop);
    }
    untilStall = dropStalled();
  }
  for (Handle handle : registry_.handles())
    registry_.remove(handle);
  moreWork_.clear();
  withOutput_.clear();
  return true;
}

void SelectLoop::acceptPending() {
  spare_.reopen();  // when it could not be taken back last time
  for (int accepted = 0; accepted < kAcceptsPerPass; ++accepted) {
    std::string peer;
    Socket connection = listening_.accept(&peer);
    if (!connection.isOpen()) {
      // Out of descriptors the connection would stay queued and the listening socket readable,
      // pass after pass: the spare descriptor makes room to take it and close it at once.
      if ((errno == EMFILE || errno == ENFILE) && spare_.release()) {
        listening_.accept();
        spare_.reopen();
        continue;
      }
      return;
    }
    const std::string port = std::to_string(port_);
    if (registry_.countFrom(peer) >= limits_.perAddress) {
      WriteLimitedLine(peer, "refused " + port,
                       "port " + port + ": connection from " + peer + " refused: it holds " +
                           std::to_string(limits_.perAddress) + " connections already");
      continue;  // closed at once as it goes out of scope
    }
    if (registry_.isFull()) {
      Handle idle = registry_.idleLongest();
      if (idle == 0)
        continue;
      WriteLimitedLine(peer, "full " + port,
                       "port " + port + ": " + std::to_string(registry_.count()) +
                           " connections, closed the one idle longest (from " +
                           registry_.find(idle)->peer + ") for a connection from " + peer);
      drop(idle);
    }
    connection.setSendBuffer(kSendBufferBytes);
    int fd = connection.fd();
    Handle handle = registry_.add(std::move(connection), std::move(peer));
    if (!wait_.add(fd, handle, true, false))
      registry_.remove(handle);
  }
}

void SelectLoop::turn(Handle handle, bool readable, bool writable, const std::stop_token& stop) {
  ConnectionRegistry::Entry* entry = registry_.find(handle);
  if (entry == nullptr)
    return;  // dropped earlier in this pass
  if (writable && entry->pendingOutput() > 0 && !flush(handle, *entry))
    return;
  // Input is taken only when what was buffered is carried out, so a connection buffers at most
  // one receive and one unfinished request.
  if (readable && !entry->mayHoldRequest && !entry->peerClosed &&
      entry->pendingOutput() <= kOutputPauseBytes) {
    char buffer[kReceiveChunk];
    long received = entry->socket.receive(buffer, sizeof buffer);
    if (received > 0) {
      entry->input.append(buffer, static_cast<size_t>(received));
      entry->mayHoldRequest = true;
      registry_.touch(handle);
    } else if (received == 0) {
      entry->peerClosed = true;  // its requests already here are still answered
    } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      drop(handle);
      return;
    }
  }
  if (entry->mayHoldRequest && entry->pendingOutput() <= kOutputPauseBytes &&
      !stop.stop_requested()) {
    const bool wasIdle = entry->pendingOutput() == 0;
    size_t taken = service_(entry->input, entry->peer, entry->output);
    if (taken == 0) {
      entry->mayHoldRequest = false;  // the request at the start lacks bytes
    } else {
      entry->input.erase(0, std::min(taken, entry->input.size()));
      entry->mayHoldRequest = !entry->input.empty();
    }
    if (entry->pendingOutput() > 0) {
      if (wasIdle)
        entry->outputMoved = clock_.monotonicNow();
      if (!flush(handle, *entry))
        return;
    }
  }
  if (entry->peerClosed && !entry->mayHoldRequest && entry->pendingOutput() == 0) {
    drop(handle);
    return;
  }
  if (entry->mayHoldRequest && entry->pendingOutput() <= kOutputPauseBytes)
    moreWork_.push_back(handle);
  if (entry->pendingOutput() > 0)
    withOutput_.insert(handle);
  watch(handle, *entry);
}

bool SelectLoop::flush(Handle handle, ConnectionRegistry::Entry& entry) {
  while (entry.pendingOutput() > 0) {
    long sent =
        entry.socket.sendSome(entry.output.data() + entry.outputStart, entry.pendingOutput());
    if (sent > 0) {
      entry.outputStart += static_cast<size_t>(sent);
      entry.outputMoved = clock_.monotonicNow();
      registry_.touch(handle);
      continue;
    }
    if (sent < 0 && errno == EINTR)
      continue;
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
      break;
    drop(handle);  // reset or closed by the peer
    return false;
  }
  if (entry.pendingOutput() == 0) {
    entry.output.clear();
    entry.outputStart = 0;
  } else if (entry.outputStart >= kOutputCompactBytes &&
             2 * entry.outputStart >= entry.output.size()) {
    entry.output.erase(0, entry.outputStart);
    entry.outputStart = 0;
  }
  return true;
}

void SelectLoop::watch(Handle handle, ConnectionRegistry::Entry& entry) {
  const bool read = !entry.peerClosed && entry.pendingOutput() <= kOutputPauseBytes;
  const bool write = entry.pendingOutput() > 0;
  if (read == entry.watchRead && write == entry.watchWrite)
    return;
  if (!wait_.change(entry.socket.fd(), handle, read, write)) {
    drop(handle);
    return;
  }
  entry.watchRead = read;
  entry.watchWrite = write;
}

void SelectLoop::drop(Handle handle) {
  registry_.remove(handle);
  withOutput_.erase(handle);
}

std::chrono::milliseconds SelectLoop::dropStalled() {
  const ConnectionRegistry::TimePoint now = clock_.monotonicNow();
  std::chrono::milliseconds next(-1);
  for (auto it = withOutput_.begin(); it != withOutput_.end();) {
    ConnectionRegistry::Entry* entry = registry_.find(*it);
    if (entry == nullptr || entry->pendingOutput() == 0) {
      it = withOutput_.erase(it);
      continue;
    }
    const ConnectionRegistry::TimePoint deadline = entry->outputMoved + kStalledOutputLimit;
    if (now >= deadline) {
      entry->socket.abort();
      registry_.remove(*it);
      it = withOutput_.erase(it);
      continue;
    }
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    next = next.count() < 0 ? left : std::min(next, left);
    ++it;
  }
  return next;
}

}  // namespace brenlow
