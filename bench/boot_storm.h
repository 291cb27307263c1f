// The boot storm: at the start of the school day every classroom terminal boots, connects to
// port 64124 and asks for its class name, periods, courses and password, one after another.
// The terminals connect at once, each from its own address of 127.0.0.0/8 as real terminals
// have their own; the figure is the time from the first connection to the last reply. For
// terminal_bench.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace brenlow {

// One request of a terminal and the length of its whole reply.
struct StormStep {
  std::string bytes;
  size_t replySize = 0;
};

struct StormFigures {
  double seconds = 0;   // until the last reply (or until the limit, when some never came)
  size_t answered = 0;  // terminals that received every reply
  size_t failed = 0;    // could not connect, were closed or were not answered in time
};

// terminals terminals connect to 127.0.0.1:port; terminal i asks steps(i) in order, each when the
// reply to the one before is complete. Gives up after limit.
StormFigures RunBootStorm(uint16_t port, size_t terminals,
                          const std::function<std::vector<StormStep>(size_t terminal)>& steps,
                          std::chrono::seconds limit);

}  // namespace brenlow
