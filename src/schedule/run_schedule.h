// RunSchedule: the work of one minute. It walks every class's periods of that minute's
// weekday, in ID order, and lets each period act: power on at its start minute, PC shut-down
// and power off at its end minute (the period's AutoOn/AutoOff set), and the teacher's use
// time three minutes after its start. Nothing happens on Saturday and Sunday.
// User-interface thread (the minute timer); a store failure ends the minute quietly.
#pragma once

#include "core/clock.h"

namespace brenlow {

// Acts on the minute given (its weekday, hour and minute; seconds are ignored).
void RunSchedule(const LocalTime& minute);

}  // namespace brenlow
