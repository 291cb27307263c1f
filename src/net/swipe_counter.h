// The three-swipe rule of the card readers: the period's teacher switches a powered classroom
// off by swiping three times in quick succession at its controller.
//
// Swipes are counted per controller (per sender address), so swipes at different classrooms
// never add up, and timed on a monotonic clock, so that a swipe minutes later is never "soon"
// and a change of the wall clock does not matter. The third counted swipe is a power off when
// it comes within kQuickSwipeWindow of the first; either way the count then starts again.
// Listener thread only.
#pragma once

#include <chrono>
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
    bool switchOff = false;              // the third, within kQuickSwipeWindow of the first
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
