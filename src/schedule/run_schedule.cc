#include "schedule/run_schedule.h"

#include <charconv>

#include "core/lenient_integer.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "data/database_path.h"
#include "schedule/device_commands.h"
#include "schedule/lesson_use_time.h"

namespace brenlow {

std::optional<int> WholeNumber(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  if (text.empty() || text.front() == '+')
    return std::nullopt;
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return value;
}

void RunSchedule(const LocalTime& minute) {
  const char* weekday = SchoolWeekdayText(minute.weekday);
  if (weekday == nullptr)
    return;
  const int nowMinutes = minute.minutesSinceMidnight();
  Database db;
  db.setPath(DatabasePath());
  db.open();
  try {
    RecordSet periods =
        db.query(FormatStatement("select * from tblkcTime where  Week='%s' Order by ID", weekday));
    while (!periods.isEof()) {
      const std::string className = periods.fieldText("BJName");
      const std::string startH = periods.fieldText("StartH");
      const std::string startM = periods.fieldText("StartM");
      const std::string endH = periods.fieldText("EndH");
      const std::string endM = periods.fieldText("EndM");
      const std::string autoOn = periods.fieldText("AutoOn");
      const std::string autoOff = periods.fieldText("AutoOff");
      periods.moveNext();
      // An empty time text marks a row nobody filled in; a period not in use holds a blank
      // and still takes part (its blank reads as 0).
      if (startH.empty() || startM.empty() || endH.empty() || endM.empty())
        continue;
      SendPowerOn(className, LenientInteger(startH), LenientInteger(startM), nowMinutes,
                  LenientInteger(autoOn));
      SendPowerOff(className, LenientInteger(endH), LenientInteger(endM), nowMinutes,
                   LenientInteger(autoOff));
      // Use time is looked up by the start as the store holds whole numbers; a start that is
      // not one (a blank, "8:00") can never be credited, so the row is passed over for it.
      std::optional<int> startHour = WholeNumber(startH);
      std::optional<int> startMinute = WholeNumber(startM);
      if (startHour && startMinute) {
        AddLessonUseTime(className, weekday, *startHour, *startMinute, nowMinutes);
      }
    }
  } catch (const DatabaseError&) {
    // A row that cannot be read ends this minute's walk; the next minute starts afresh.
  }
  db.close();
}

}  // namespace brenlow
