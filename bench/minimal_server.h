// MinimalServer: the least a server can do for the terminals' traffic on this machine. It
// listens on an ephemeral loopback port and answers every 100-byte request with a reply of the
// length the real service would send for its kind, made of zero bytes, without a database; one
// thread, one epoll wait. terminal_bench measures it beside the real loops, in the same run, as
// the machine's limit for this traffic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace brenlow {

class MinimalServer {
 public:
  // replySize gives the reply's length by request kind (0: no reply).
  explicit MinimalServer(std::function<size_t(int32_t kind)> replySize);
  ~MinimalServer();  // stops the thread
  MinimalServer(const MinimalServer&) = delete;
  MinimalServer& operator=(const MinimalServer&) = delete;

  uint16_t port() const { return port_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  uint16_t port_ = 0;
  std::jthread thread_;  // last: stopped before the state goes
};

}  // namespace brenlow
