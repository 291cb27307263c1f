// SelectLoop: one TCP port's worker. It listens on the port, keeps the port's connections in a
// ConnectionRegistry and carries out their requests, one after another, on its own thread.
//
// Requests are a stream: the bytes a connection sends are kept until the service finds a
// complete request at their start, and any number of requests that arrive together are
// carried out in order. Replies go into the connection's output queue, which is written when
// the socket takes bytes; no peer can make the loop wait. While a queue holds more than
// kOutputPauseBytes the connection's further requests are not read, and a queue that does not
// move for kStalledOutputLimit drops its connection. That time is read from the clock handed in
// (SystemClock in the program), so a test moves it and calls clockMoved() instead of waiting. A
// connection that is closed by its peer is dropped once its replies are written.
//
// One pass of the loop: wait until a socket is ready (without a time-out when nothing is
// pending); accept the pending connections (up to 64 a pass); then give each ready connection,
// in registry order, one turn: write what waits for it, receive once, and carry out one request.
// A connection with more complete requests gets its next turn in the next pass, so a peer
// sending thousands of requests delays the others by one request per pass at most.
//
// Sharing the port: one peer address holds at most maxPerAddress connections; a newcomer beyond
// that is closed at once (and logged, within the log's limit). When the registry is full, the
// connection idle longest is closed to make room for the newcomer.
//
// Descriptors: run() raises the process's soft limit of open descriptors toward 4096 (within the
// hard limit), so that both ports can hold their registries. When descriptors run out all the
// same, a pending connection is accepted and closed at once.
//
// Stopping: run() returns within milliseconds after stop is requested, after the request in
// progress; requests still buffered are dropped with their connections. A service that waits
// for the store should give up once stop is requested: the shell registers the loop's stop for
// its thread's store waits (data/busy_wait.h) before run(). The shell stops its loops at the end
// of the program; tests stop theirs.
//
// Thread: run() on one thread, which then owns the registry and calls the service;
// clockMoved() from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <stop_token>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "net/connection_limits.h"
#include "net/connection_registry.h"
#include "net/readiness_wait.h"
#include "net/socket.h"

namespace brenlow {

// A port's service, called with the bytes a connection sent that are not carried out yet
// (never empty) and the peer's address. It carries out the request at their start when it is
// complete, appending its reply to reply, and returns how many bytes it took: 0 while the
// request still lacks bytes (the loop waits for them), buffered.size() to drop everything
// buffered. Runs on the loop's thread; must not throw.
using ConnectionService =
    std::function<size_t(std::string_view buffered, const std::string& peer, std::string& reply)>;

struct LoopLimits {
  size_t connections = ConnectionRegistry::kMaxConnections;
  size_t perAddress = kDefaultMaxConnectionsPerAddress;
};

class SelectLoop {
 public:
  // Listens on address:port (address "0.0.0.0": every local IPv4 address) when run. The clock
  // must outlive the loop.
  SelectLoop(std::string address, uint16_t port, ConnectionService service, const Clock& clock,
             LoopLimits limits = {});
  // Serves a socket already listening (tests bind an ephemeral loopback port first).
  SelectLoop(Socket listening, ConnectionService service, const Clock& clock,
             LoopLimits limits = {});

  // Serves until stop is requested, then closes every connection. Returns false at once when
  // the port cannot be bound; one stderr line then says which port and why, and the rest of
  // the program goes on.
  bool run(std::stop_token stop);
  // The clock moved on by more than the loop could see coming (a test advanced its
  // ManualClock): the loop ends its wait and looks for stalled connections again.
  void clockMoved() { wait_.nudge(); }

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

  void acceptPending();
  // One turn of a connection (see the pass above).
  void turn(ConnectionRegistry::Handle handle, bool readable, bool writable,
            const std::stop_token& stop);
  // Writes what the socket takes; false when the connection failed and was dropped.
  bool flush(ConnectionRegistry::Handle handle, ConnectionRegistry::Entry& entry);
  // Brings what the readiness wait watches in line with the connection's state.
  void watch(ConnectionRegistry::Handle handle, ConnectionRegistry::Entry& entry);
  void drop(ConnectionRegistry::Handle handle);
  // Drops the connections whose output stalled; returns how long until the next may stall
  // (negative: none is waiting).
  std::chrono::milliseconds dropStalled();

  std::string address_;
  uint16_t port_ = 0;
  Socket listening_;
  ConnectionService service_;
  const Clock& clock_;
  LoopLimits limits_;
  ConnectionRegistry registry_;
  SpareDescriptor spare_;
  std::string waitError_;  // why the kernel refused the readiness wait, if it did
  ReadinessWait wait_;
  std::vector<ConnectionRegistry::Handle> moreWork_;  // may hold a complete request still
  std::set<ConnectionRegistry::Handle> withOutput_;   // may have output waiting
};

}  // namespace brenlow
