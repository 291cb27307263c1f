#include "net/select_loop.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/messages.h"
#include "net/ports.h"
#include "net/readiness_wait.h"

namespace brenlow {
namespace {

// The listening socket's tag sorts before every connection handle.
constexpr uint64_t kListeningTag = 0;
// Accepts per pass, so that a flood of connections cannot keep the loop from its terminals.
constexpr int kAcceptsPerPass = 64;
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

SelectLoop::SelectLoop(std::string address, uint16_t port, ConnectionService service)
    : address_(std::move(address)), port_(port), service_(std::move(service)) {}

SelectLoop::SelectLoop(Socket listening, ConnectionService service)
    : port_(listening.localPort()),
      listening_(std::move(listening)),
      service_(std::move(service)) {}

bool SelectLoop::run(std::stop_token stop) {
  RaiseDescriptorLimit();
  std::string error;
  if (!listening_.isOpen()) {
    listening_ = Socket::ListenTcp(address_, port_, kListenBacklog, &error);
    if (!listening_.isOpen()) {
      WriteStderrLine("port " + std::to_string(port_) + " not served: " + error);
      return false;
    }
  }
  ReadinessWait wait(ConnectionRegistry::kMaxConnections + 1, &error);
  if (!wait.isOpen() || !wait.add(listening_.fd(), kListeningTag)) {
    WriteStderrLine("port " + std::to_string(port_) + " not served: " + error);
    return false;
  }
  std::stop_callback wakeOnStop(stop, [&wait] { wait.wake(); });
  registry_.setStopDescriptor(wait.wakeDescriptor());

  std::vector<uint64_t> ready;
  while (!stop.stop_requested()) {
    wait.wait(&ready);
    // Handles grow in accept order, so sorting the tags puts the listening socket first and
    // the connections in registry order.
    std::sort(ready.begin(), ready.end());
    for (uint64_t tag : ready) {
      if (stop.stop_requested())
        break;
      if (tag == kListeningTag) {
        acceptPending(wait);
      } else if (registry_.find(tag) != nullptr) {
        service_(registry_, tag);
      }
      // A connection removed earlier in this pass is closed: nothing is left to serve.
    }
  }
  for (ConnectionRegistry::Handle handle : registry_.handles())
    registry_.remove(handle);
  registry_.setStopDescriptor(-1);
  return true;
}

void SelectLoop::acceptPending(ReadinessWait& wait) {
  spare_.reopen();  // when it could not be taken back last time
  for (int accepted = 0; accepted < kAcceptsPerPass; ++accepted) {
    Socket connection = listening_.accept();
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
    if (registry_.isFull())
      continue;  // closed at once as it goes out of scope
    int fd = connection.fd();
    ConnectionRegistry::Handle handle = registry_.add(std::move(connection));
    if (!wait.add(fd, handle))
      registry_.remove(handle);
  }
}

}  // namespace brenlow
