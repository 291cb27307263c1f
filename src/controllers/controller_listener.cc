#include "controllers/controller_listener.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string>
#include <vector>

#include "controllers/controller_datagram.h"
#include "controllers/controller_datagram_handler.h"
#include "core/messages.h"
#include "data/busy_wait.h"
#include "data/connection.h"
#include "net/ports.h"
#include "net/readiness_wait.h"

namespace brenlow {
namespace {

// Room for bursts: at 5,000 datagrams a second the default queue (about 270 datagrams) fills
// during one slow store write. The kernel caps this at net.core.rmem_max.
constexpr int kReceiveBufferBytes = 4 * 1024 * 1024;

}  // namespace

bool ControllerListener::bind(const std::string& address, uint16_t port, std::string* error) {
  socket_ = Socket::BindUdp(address, port, error);
  if (!socket_.isOpen())
    return false;
  socket_.setReceiveBuffer(kReceiveBufferBytes);
  // Drained without blocking after each wake-up; the readiness wait does the waiting.
  socket_.setNonBlocking(true);
  return true;
}

void ControllerListener::run(std::stop_token stop) {
  GiveUpStoreWaitsOnStop(stop);
  UseRelaxedDurabilityOnThisThread();
  Database db = store_.database();
  db.open();  // a failure has been reported; every statement then fails the same way
  ControllerDatagramHandler handler(clock_);
  std::string error;
  ReadinessWait wait(1, &error);
  if (!wait.isOpen() || !wait.add(socket_.fd(), 0)) {
    WriteStderrLine("controller listener: " +
                    (error.empty() ? ErrnoText("epoll_ctl", errno) : error));
    db.close();
    return;
  }
  std::stop_callback wakeOnStop(stop, [&wait] { wait.wake(); });
  std::vector<uint64_t> ready;
  std::array<uint8_t, kControllerDatagramCapacity> buffer{};
  while (!stop.stop_requested()) {
    wait.wait(&ready);
    while (!stop.stop_requested()) {
      std::optional<Socket::Datagram> datagram = socket_.receiveFrom(buffer.data(), buffer.size());
      if (!datagram)
        break;  // nothing more queued (or a failed receive): wait again
      size_t size = std::min(datagram->size, buffer.size());
      handler.handle(db, std::span<const uint8_t>(buffer.data(), size), datagram->truncated,
                     datagram->sender);
      received_.fetch_add(1, std::memory_order_release);
    }
  }
  db.close();
}

void RunControllerListener(const std::string& listenAddress, const Clock& clock, const Store& store,
                           std::stop_token stop) {
  ControllerListener listener(clock, store);
  std::string error;
  if (!listener.bind(listenAddress, kControllerListenPort, &error)) {
    WriteStderrLine("controller listener: " + error);
    return;
  }
  listener.run(stop);
}

}  // namespace brenlow
