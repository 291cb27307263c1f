// Waiting in a test for something observable (a port served, a row in the store, a line on
// stderr, a window or dialog shown) instead of sleeping a fixed time: the wait ends as soon as
// the condition holds, and a loaded machine only makes it slower, never wrong.
#pragma once

#include <chrono>
#include <functional>

namespace brenlow::testing {

// How long a test waits for an event before it counts as missing: long enough for a machine
// running sanitizer builds of every test at once, short enough to end a broken test.
inline constexpr std::chrono::milliseconds kEventTimeout{10000};

// Checks condition until it holds (true) or timeout passes (false), every few milliseconds.
// Between checks it runs the calling thread's Qt events when a Qt application runs on that
// thread, so windows of the test process keep reacting while it waits. The condition is
// checked once more at the deadline, so a slow last step still counts.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = kEventTimeout);

}  // namespace brenlow::testing
