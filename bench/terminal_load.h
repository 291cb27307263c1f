// TerminalLoad: many classroom terminals connected to one port over loopback, some of them
// asking as fast as they are answered (each sends its next request when the whole reply to the
// last one has arrived). For terminal_bench.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/socket.h"

namespace brenlow {

struct LoadFigures {
  uint64_t requests = 0;       // answered within the measured time
  double perSecond = 0;        // answered requests per second
  double p50Microseconds = 0;  // time from sending a request to its whole reply
  double p99Microseconds = 0;
  uint64_t answered = 0;  // every request answered in the run, warm-up included
  bool complete = true;   // false when a reply did not arrive in time
};

// A request to send and the size of its whole reply.
struct LoadRequest {
  std::string bytes;
  size_t replySize = 0;
};

class TerminalLoad {
 public:
  explicit TerminalLoad(uint16_t port) : port_(port) {}

  // Connects terminals until count are connected, each from its own loopback address. Every
  // fourth waits until the server has answered probe on it, so that connections never pile up
  // beyond the listening backlog.
  bool connectUpTo(size_t count, const LoadRequest& probe, std::string* error);
  size_t connected() const { return terminals_.size(); }
  void closeAll() { terminals_.clear(); }

  // The first active terminals ask for duration after a warm-up; next(sequence) gives each
  // request. The others stay connected and silent.
  LoadFigures run(size_t active, const std::function<LoadRequest(uint64_t sequence)>& next,
                  std::chrono::milliseconds warmUp, std::chrono::milliseconds duration);

 private:
  uint16_t port_;
  std::vector<Socket> terminals_;
};

}  // namespace brenlow
