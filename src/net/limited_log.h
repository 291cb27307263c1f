// Log lines that anyone on the network can cause at will (a swipe from an unknown controller, a
// refused connection) go through a limit, so that a flood cannot bury the lines that matter or
// the journal's own rate limit drop them.
//
// Lines are counted per key (the source address and what the line reports): at most perKey
// lines of a key are written per window; the rest are counted, and once the window is over one
// line says how many were suppressed and what they looked like: at the next line, or at the
// next sweep (the server sweeps every second, so a flood that stops is summed up within a few
// seconds of its window's end), and at the latest when the process ends (finish). Source addresses
// of datagrams can be forged, so the table of keys is bounded; a line whose key finds no room
// counts only against the global limit, which caps all limited lines of a window together. Lines
// about commands sent to classrooms and the edit audit never come here.
//
// Windows are measured on the monotonic time of the clock handed in (a test moves its
// ManualClock).
//
// Thread: any; one lock.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "core/clock.h"

namespace brenlow {

class LineLimit {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;
  using Writer = std::function<void(const std::string& line)>;

  struct Limits {
    size_t perKey = 10;
    size_t global = 100;
    size_t keys = 64;
    std::chrono::steady_clock::duration window = std::chrono::minutes(1);
  };

  // The clock must outlive the limit.
  LineLimit(Limits limits, Writer write, const Clock& clock)
      : limits_(limits), write_(std::move(write)), clock_(clock) {}

  // Writes line unless the limits of its key (source, what) or the global limit are spent.
  void write(const std::string& source, const std::string& what, const std::string& line);
  // Writes the summaries of the windows that are over.
  void sweep();
  // Writes the summaries of every window, over or not (the process ends).
  void finish();

 private:
  struct Key {
    TimePoint windowStart;
    size_t written = 0;
    uint64_t suppressed = 0;
    std::string example;  // the last suppressed line
  };
  // Writes the summaries of the windows that are over (all of them when everything is true).
  void closeWindows(TimePoint now, bool everything = false);

  Limits limits_;
  Writer write_;
  const Clock& clock_;
  std::mutex mutex_;
  std::unordered_map<std::string, Key> keys_;  // guarded by mutex_, like what follows
  TimePoint globalStart_{};
  size_t globalWritten_ = 0;
  uint64_t globalSuppressed_ = 0;  // lines without a key of their own
  TimePoint lastSweep_{};
};

// The process's limit (10 lines a key a minute, 100 in all, on the system clock), writing to
// stderr.
void WriteLimitedLine(const std::string& source, const std::string& what, const std::string& line);
// sweep() and finish() of the process's limit.
void SweepLimitedLines();
void FinishLimitedLines();

}  // namespace brenlow
