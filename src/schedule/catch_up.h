// Catching up after an outage: what the scheduler does at its first tick for the minutes it
// missed while no copy of the server ran (a power cut, a restart in the middle of the day).
//
// The policy (brenlow --catch-up):
//   off        nothing is sent;
//   power-off  each class with a period whose end (AutoOff set) fell in the gap is switched off
//              (the PC's shut-down, then the controller's power-off) unless a lesson of that
//              class is running now, so that rooms do not stay on until their next power-off;
//   all        as power-off, and each class whose lesson with AutoOn started in the gap and is
//              running now is switched on.
// The periods are those of today's plan (records/day_plan.h). Like the scheduler's own
// commands, these do not depend on the reported power state; each carries reason "catch-up"
// in the command log and the events. Use time of the gap is never credited. Each class gets
// at most one power-off and one power-on. User-interface thread (the minute timer).
#pragma once

#include <optional>
#include <string>

#include "core/clock.h"
#include "data/store.h"

namespace brenlow {

enum class CatchUpPolicy { kOff, kPowerOff, kAll };

inline constexpr const char* kCatchUpReason = "catch-up";

// "off", "power-off", "all", and back (nullopt for another text).
const char* CatchUpPolicyText(CatchUpPolicy policy);
std::optional<CatchUpPolicy> CatchUpPolicyNamed(const std::string& text);

// Acts on the minutes after lastActed and before now (the same day; now itself is the tick's
// own), by policy. Writes one line saying what was missed.
void CatchUp(const Store& store, const LocalTime& lastActed, const LocalTime& now,
             CatchUpPolicy policy);

}  // namespace brenlow
