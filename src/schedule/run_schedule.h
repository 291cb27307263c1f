// RunSchedule: the work of one minute. It walks every class's periods of that minute's
// weekday, in ID order, and lets each period act: power on at its start minute, PC shut-down
// and power off at its end minute (the period's AutoOn/AutoOff set), and the teacher's use
// time three minutes after its start. Nothing happens on Saturday and Sunday.
// User-interface thread (the minute timer); a store failure ends the minute quietly.
#pragma once

#include <optional>
#include <string_view>

#include "core/clock.h"

namespace brenlow {

// Acts on the minute given (its weekday, hour and minute; seconds are ignored).
void RunSchedule(const LocalTime& minute);

// A start text as the store's strict conversion reads it: a whole number (optional blanks
// around it, an optional sign, decimal digits: "08" is 8), nullopt for anything else (" ",
// "8:00", "", a number beyond int). The use-time accounting passes over rows without one.
std::optional<int> WholeNumber(std::string_view text);

}  // namespace brenlow
