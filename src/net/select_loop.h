// SelectLoop: one TCP port's worker. It listens on the port, keeps the port's connections in a
// ConnectionRegistry, waits until some are readable and hands each readable connection to the
// port's service, one after another, on its own thread.
//
// One pass of the loop: wait (blocking, no time-out) until the listening socket or a
// connection is readable; then take the readable ones in registry order: the listening socket
// first (accept the pending connections, up to 64 a pass), then the connections in the order
// they were accepted. A connection accepted in a pass is first waited on in the next pass. A
// connection beyond ConnectionRegistry::kMaxConnections is accepted and closed at once.
//
// Descriptors: run() raises the process's soft limit of open descriptors toward 4096 (within the
// hard limit), so that both ports can hold their registries. When descriptors run out all the
// same, a pending connection is accepted and closed at once, like one beyond the registry.
//
// Stopping: run() returns within milliseconds after stop is requested, after the request in
// progress (a reply still waiting for its peer gives up at once and drops the peer). The shell
// stops its loops at the end of the program; tests stop theirs.
//
// Thread: run() on one thread, which then owns the registry and calls the service.
#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>

#include "net/connection_registry.h"
#include "net/socket.h"

namespace brenlow {

// A port's service: handles one request from the readable connection handle of registry, and
// removes the connection when the peer has closed it or a reply could not be delivered. Runs
// on the loop's thread; must not throw.
using ConnectionService =
    std::function<void(ConnectionRegistry& registry, ConnectionRegistry::Handle handle)>;

class SelectLoop {
 public:
  // Listens on address:port (address "0.0.0.0": every local IPv4 address) when run.
  SelectLoop(std::string address, uint16_t port, ConnectionService service);
  // Serves a socket already listening (tests bind an ephemeral loopback port first).
  SelectLoop(Socket listening, ConnectionService service);

  // Serves until stop is requested, then closes every connection. Returns false at once when
  // the port cannot be bound; one stderr line then says which port and why, and the rest of
  // the program goes on.
  bool run(std::stop_token stop);

 private:
  // One descriptor held in reserve for taking a connection off the queue when the process has
  // none left.
  class SpareDescriptor {
   public:
    SpareDescriptor();
    ~SpareDescriptor();
    SpareDescriptor(const SpareDescriptor&) = delete;
    SpareDescriptor& operator=(const SpareDescriptor&) = delete;
    bool release();  // false when there was none to give up
    void reopen();

   private:
    int fd_ = -1;
  };

  void acceptPending(class ReadinessWait& wait);

  std::string address_;
  uint16_t port_ = 0;
  Socket listening_;
  ConnectionService service_;
  ConnectionRegistry registry_;
  SpareDescriptor spare_;
};

}  // namespace brenlow
