// ControllerListener: the worker that receives the classroom controllers' datagrams on UDP
// port 8234 and handles them one at a time, in arrival order (ControllerDatagramHandler).
//
// It blocks in a readiness wait (net/readiness_wait.h) on its socket that a stop request wakes,
// so an idle listener uses no CPU and a stop request ends run() within milliseconds. The thread
// running run() opens its own store connection for its whole life and writes Status with relaxed
// durability: Status is volatile (every start resets it), and full sync per report would cap
// the listener far below what a school's controllers send.
#pragma once

#include <atomic>
#include <cstdint>
#include <stop_token>
#include <string>

#include "core/clock.h"
#include "data/store.h"
#include "net/socket.h"

namespace brenlow {

class ControllerListener {
 public:
  // Handles datagrams against store. The clock must outlive the listener.
  ControllerListener(const Clock& clock, Store store) : clock_(clock), store_(std::move(store)) {}

  // Binds the UDP socket to address:port (port 0: ephemeral, for tests). False with a readable
  // reason in error when that fails.
  bool bind(const std::string& address, uint16_t port, std::string* error);
  // The bound port.
  uint16_t port() const { return socket_.localPort(); }

  // Receives and handles datagrams until stop is requested. Call once, on the thread that is to
  // own the store connection. When the kernel refuses the wait's descriptors, says so on
  // stderr and returns at once.
  void run(std::stop_token stop);

  // Datagrams received so far, handled or ignored (for tests and the benchmark). Any thread.
  uint64_t datagramsReceived() const { return received_.load(std::memory_order_acquire); }

 private:
  const Clock& clock_;
  const Store store_;
  Socket socket_;
  std::atomic<uint64_t> received_{0};  // written by the run() thread only
};

// The program's worker: binds UDP kControllerListenPort on listenAddress and serves until stop.
// When the port cannot be bound, says so on stderr and returns: nothing is ever handled.
void RunControllerListener(const std::string& listenAddress, const Clock& clock, const Store& store,
                           std::stop_token stop);

}  // namespace brenlow
