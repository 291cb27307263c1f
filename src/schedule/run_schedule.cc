#include "schedule/run_schedule.h"

#include "core/lenient_integer.h"
#include "core/minutes_of_day.h"
#include "core/weekdays.h"
#include "core/whole_number.h"
#include "data/database.h"
#include "schedule/device_commands.h"
#include "schedule/lesson_use_time.h"

namespace brenlow {

void RunSchedule(const LocalTime& minute) {
  const char* weekday = SchoolWeekdayText(minute.weekday);
  if (weekday == nullptr)
    return;
  const int nowMinutes = minute.minutesSinceMidnight();
  Database db = Database::DefaultStore();
  db.open();
  try {
    RecordSet periods =
        db.query(FormatStatement("select * from tblkcTime where  Week='%s' Order by ID", weekday));
    while (!periods.isEof()) {
      const std::string startH = periods.fieldText("StartH");
      const std::string startM = periods.fieldText("StartM");
      const std::string endH = periods.fieldText("EndH");
      const std::string endM = periods.fieldText("EndM");
      // An empty time text marks a row nobody filled in; a period not in use holds a blank
      // and still takes part (its blank reads as 0).
      if (startH.empty() || startM.empty() || endH.empty() || endM.empty()) {
        periods.moveNext();
        continue;
      }
      const int startHour = LenientInteger(startH);
      const int startMinute = LenientInteger(startM);
      const int endHour = LenientInteger(endH);
      const int endMinute = LenientInteger(endM);
      // Each call below tests its own minute; most rows are due for none of them, and a
      // school's whole day is walked every minute, so those are passed over unread.
      const long long start = MinutesOfDay(startHour, startMinute);
      if (start != nowMinutes && MinutesOfDay(endHour, endMinute) != nowMinutes &&
          start + kUseTimeCreditDelayMinutes != nowMinutes) {
        periods.moveNext();
        continue;
      }
      const std::string className = periods.fieldText("BJName");
      const int autoOn = LenientInteger(periods.fieldText("AutoOn"));
      const int autoOff = LenientInteger(periods.fieldText("AutoOff"));
      periods.moveNext();
      SendPowerOn(className, startHour, startMinute, nowMinutes, autoOn);
      SendPowerOff(className, endHour, endMinute, nowMinutes, autoOff);
      // Use time is looked up by the start as the store holds whole numbers; a start that is
      // not one (a blank, "8:00") can never be credited, so the row is passed over for it.
      // A whole number reads the same leniently, so the test above covers its minute.
      std::optional<int> wholeHour = WholeNumber(startH);
      std::optional<int> wholeMinute = WholeNumber(startM);
      if (wholeHour && wholeMinute) {
        AddLessonUseTime(className, weekday, *wholeHour, *wholeMinute, nowMinutes,
                         minute.dateText());
      }
    }
  } catch (const DatabaseError&) {
    // A row that cannot be read ends this minute's walk; the next minute starts afresh.
  }
  db.close();
}

}  // namespace brenlow
