// SteadyEdits: an editor beside the terminals. While the object lives, a thread of its own
// changes one period of a class once per interval through a connection of its own, as the
// desktop editor or brenlow-admin would, so that a reply cache is emptied at each edit. For
// terminal_bench.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace brenlow {

class SteadyEdits {
 public:
  // Edits the first period of className in the database at path every interval, the first at
  // once.
  SteadyEdits(std::string path, std::string className, std::chrono::milliseconds interval);
  ~SteadyEdits();  // stops the thread
  SteadyEdits(const SteadyEdits&) = delete;
  SteadyEdits& operator=(const SteadyEdits&) = delete;

  uint64_t edits() const { return edits_.load(); }  // committed so far

 private:
  std::atomic<uint64_t> edits_{0};
  std::jthread thread_;  // last: stopped before the counter goes
};

}  // namespace brenlow
