// The ceiling of a terminal request: the statements that serve it, run in a loop in this
// process on one open SQLite connection with statements prepared once, without the network
// and without the access wrapper. For terminal_bench.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace brenlow {

// One step of a request: a statement with one text value, or none (empty value list).
struct CeilingStep {
  std::string sql;  // with ? for the value
  bool takesValue = true;
  bool valueIsClassName = false;  // else the hardware address
};

struct CeilingClass {
  std::string address;
  std::string name;
};

// Requests per second of steps, each run with the next class in turn, for duration.
double MeasureCeiling(const std::string& path, const std::vector<CeilingStep>& steps,
                      const std::vector<CeilingClass>& classes, std::chrono::milliseconds duration);

}  // namespace brenlow
