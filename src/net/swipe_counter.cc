#include "net/swipe_counter.h"

namespace brenlow {

bool SwipeCounter::countSwipe(const std::string& controller, TimePoint now) {
  State& state = byController_[controller];
  ++state.count;
  if (state.count == 1)
    state.first = now;
  if (state.count < 3)
    return false;
  bool quick = now - state.first <= kQuickSwipeWindow;
  state = State{};
  return quick;
}

}  // namespace brenlow
