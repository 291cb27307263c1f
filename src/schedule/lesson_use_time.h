// Teachers' use time: three minutes after a period starts, a powered classroom (its Status
// reads "1") credits one lesson of 45 minutes to the period's teacher: to the running total
// (tblThMes.UseTime) and to the teacher's row of that class and day in tbl_teacher_usetime.
// The scheduler calls it for every period of the day on every minute it acts on; the time
// test here, together with the scheduler acting on each minute at most once, is what keeps a
// period from being credited twice. User-interface thread (the minute timer).
#pragma once

#include <string>

namespace brenlow {

inline constexpr int kLessonMinutes = 45;
inline constexpr int kUseTimeCreditDelayMinutes = 3;

// When nowMinutes is startHour * 60 + startMinute + 3 and the first class row named className
// has Status "1", adds 45 to the UseTime of the teacher of the first period of that class,
// weekday and start (start written without leading zeros), and the same minutes to that
// teacher's usage row of className and dateDay ("%Y-%m-%d"), made when there is none. The day's
// row is written only once the running total was. A missing class, period or teacher credits
// nothing; a store failure ends the call quietly.
void AddLessonUseTime(const std::string& className, const std::string& weekday, int startHour,
                      int startMinute, int nowMinutes, const std::string& dateDay);

}  // namespace brenlow
