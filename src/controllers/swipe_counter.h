// The three-swipe rule of the card readers: the period's teacher switches a powered classroom
// off by swiping three times in quick succession at its controller.
//
// Swipes are counted per controller (per sender address), so swipes at different classrooms
// never add up, and timed on a monotonic clock, so that a swipe minutes later is never "soon"
// and a change of the wall clock does not matter. A series lasts kQuickSwipeWindow from its
// first swipe: a swipe later than that starts a new series as its first swipe, so that a stray
// swipe never spoils the three that follow. The third swipe of a series is a power off, and the
// count then starts again. Listener thread only.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <unordered_map>

namespace brenlow {

inline constexpr std::chrono::seconds kQuickSwipeWindow{5};

class SwipeCounter {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  struct Counted {
    int count = 0;                       // 1, 2 or 3: this swipe's place in its series
    std::chrono::milliseconds since{0};  // time since the first swipe of the series
    bool switchOff = false;              // the third: a power off
    // Set when this swipe came too late for the unfinished series before it: the time since
    // that series' first swipe.
    std::optional<std::chrono::milliseconds> expiredAfter;
  };

  // Counts one swipe at the controller.
  Counted countSwipe(const std::string& controller, TimePoint now);

 private:
  struct State {
    int count = 0;
    TimePoint first{};
  };
  // One entry per controller whose swipes were ever counted: bounded by the classes' ZKIP texts.
  std::unordered_map<std::string, State> byController_;
};

}  // namespace brenlow
