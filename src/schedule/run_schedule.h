// RunSchedule: the work of one minute. It walks the periods of that date's plan of the day
// (records/day_plan.h), every class's in ID order, and lets each period act: power on at its
// start minute when the lesson is held, PC shut-down and power off at its end minute (the
// period's AutoOn/AutoOff set; also on a day off, so that a room someone switched on is switched
// off), and the teacher's use time three minutes after the start of a held lesson. On a weekend
// without a make-up day nothing happens.
// User-interface thread (the minute timer); a store failure ends the minute quietly.
#pragma once

#include "core/clock.h"
#include "data/store.h"

namespace brenlow {

// Acts on the minute given (its date, hour and minute; seconds are ignored).
void RunSchedule(const Store& store, const LocalTime& minute);

}  // namespace brenlow
