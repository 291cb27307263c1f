// The time texts of the events and the tables beside them: local time as
// "YYYY-MM-DDTHH:MM:SS", so that the text order of two times is their time order.
#pragma once

#include <string>

#include "core/clock.h"

namespace brenlow {

std::string EventTimeText(const LocalTime& time);

// The same moment of the day, days calendar days earlier (a later day for a negative count).
LocalTime DaysEarlier(const LocalTime& time, int days);

}  // namespace brenlow
