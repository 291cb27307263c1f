// Teachers' use time: three minutes after a held lesson starts, a powered classroom (its Status
// reads "1") credits one lesson of 45 minutes to the teacher the plan of the day names for the
// period (a substitute on the day of one): to the running total (tblThMes.UseTime) and to the
// teacher's row of that class and day in tbl_teacher_usetime. The scheduler calls it for every
// period of the day on every minute it acts on; the time test here, together with the scheduler
// acting on each minute at most once, is what keeps a period from being credited twice.
// User-interface thread (the minute timer).
#pragma once

#include <string>

#include "data/store.h"
#include "records/day_plan.h"

namespace brenlow {

inline constexpr int kLessonMinutes = 45;
inline constexpr int kUseTimeCreditDelayMinutes = 3;

// When the period is held and in use, nowMinutes is its start + 3 and the first class row named
// period.className has Status "1", adds 45 to the UseTime of the teacher row whose NameNumb is
// period.teacher, and the same minutes to that teacher's usage row of the class and dateDay
// ("%Y-%m-%d"), made when there is none. The day's row is written only once the running total
// was; then a "credit" line goes to the command log. A missing class or teacher credits nothing; a
// store failure ends the call quietly.
void AddLessonUseTime(const Store& store, const PlannedPeriod& period, int nowMinutes,
                      const std::string& dateDay);

}  // namespace brenlow
