#include "net/select_loop.h"

#include <algorithm>
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

}  // namespace

SelectLoop::SelectLoop(std::string address, uint16_t port, ConnectionService service)
    : address_(std::move(address)), port_(port), service_(std::move(service)) {}

SelectLoop::SelectLoop(Socket listening, ConnectionService service)
    : port_(listening.localPort()),
      listening_(std::move(listening)),
      service_(std::move(service)) {}

bool SelectLoop::run(std::stop_token stop) {
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
  return true;
}

void SelectLoop::acceptPending(ReadinessWait& wait) {
  for (int accepted = 0; accepted < kAcceptsPerPass; ++accepted) {
    Socket connection = listening_.accept();
    if (!connection.isOpen())
      return;
    if (registry_.isFull())
      continue;  // closed at once as it goes out of scope
    int fd = connection.fd();
    ConnectionRegistry::Handle handle = registry_.add(std::move(connection));
    if (!wait.add(fd, handle))
      registry_.remove(handle);
  }
}

}  // namespace brenlow
