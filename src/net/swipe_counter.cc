#include "net/swipe_counter.h"

namespace brenlow {

SwipeCounter::Counted SwipeCounter::countSwipe(const std::string& controller, TimePoint now) {
  State& state = byController_[controller];
  ++state.count;
  if (state.count == 1)
    state.first = now;
  Counted counted;
  counted.count = state.count;
  counted.since = std::chrono::duration_cast<std::chrono::milliseconds>(now - state.first);
  if (state.count < 3)
    return counted;
  counted.switchOff = now - state.first <= kQuickSwipeWindow;
  state = State{};
  return counted;
}

}  // namespace brenlow
