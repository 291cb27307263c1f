#include "schedule/run_schedule.h"

#include "data/database.h"
#include "records/day_plan.h"
#include "schedule/device_commands.h"
#include "schedule/lesson_use_time.h"

namespace brenlow {

void RunSchedule(const Store& store, const LocalTime& minute) {
  const int nowMinutes = minute.minutesSinceMidnight();
  Database db = store.database();
  db.open();
  try {
    const SchoolDayPlan plan = PlanOfTheSchoolDay(db, minute.date());
    for (const PlannedPeriod& period : plan.periods) {
      if (!period.scheduled)
        continue;
      // Each call below tests its own minute; most periods are due for none of them.
      const long long start = period.startMinutes();
      if (start != nowMinutes && period.endMinutes() != nowMinutes &&
          start + kUseTimeCreditDelayMinutes != nowMinutes) {
        continue;
      }
      if (period.held) {
        SendPowerOn(store, period.className, period.startHour, period.startMinute, nowMinutes,
                    period.autoOn ? 1 : 0);
      }
      SendPowerOff(store, period.className, period.endHour, period.endMinute, nowMinutes,
                   period.autoOff ? 1 : 0);
      AddLessonUseTime(store, period, nowMinutes, minute.dateText());
    }
  } catch (const DatabaseError&) {
    // A row that cannot be read ends this minute's walk; the next minute starts afresh.
  }
  db.close();
}

}  // namespace brenlow
