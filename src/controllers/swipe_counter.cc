#include "controllers/swipe_counter.h"

namespace brenlow {

SwipeCounter::Counted SwipeCounter::countSwipe(const std::string& controller, TimePoint now) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  State& state = byController_[controller];
  Counted counted;
  if (state.count > 0 && now - state.first > kQuickSwipeWindow) {
    counted.expiredAfter = duration_cast<milliseconds>(now - state.first);
    state = State{};
  }
  ++state.count;
  if (state.count == 1)
    state.first = now;
  counted.count = state.count;
  counted.since = duration_cast<milliseconds>(now - state.first);
  if (state.count < 3)
    return counted;
  counted.switchOff = true;
  state = State{};
  return counted;
}

}  // namespace brenlow
