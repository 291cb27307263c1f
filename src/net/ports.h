// Every port of the system, served or sent to. Classroom terminals, controllers and PCs in the
// field depend on these numbers.
#pragma once

#include <cstdint>

namespace brenlow {

// TCP, served: class name, periods, courses and password of a classroom terminal.
inline constexpr uint16_t kTerminalPort = 64124;
// TCP, served: teacher list, period edit and course edit.
inline constexpr uint16_t kClientPort = 62124;
// UDP, served: the classroom controllers' power state reports and card swipes.
inline constexpr uint16_t kControllerListenPort = 8234;
// UDP, sent to: a classroom controller's commands (power on, power off).
inline constexpr uint16_t kControllerPort = 20108;
// UDP, sent to: the shut-down agent on a classroom PC.
inline constexpr uint16_t kPcShutdownPort = 60123;

}  // namespace brenlow
