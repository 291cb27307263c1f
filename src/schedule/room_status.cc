#include "schedule/room_status.h"

#include <cstdio>
#include <unordered_map>

#include "core/lenient_integer.h"
#include "core/minutes_of_day.h"
#include "core/weekdays.h"
#include "data/database.h"

namespace brenlow {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

// A time of day from two stored texts, or nullopt for blanks and times outside a day.
std::optional<int> TimeOfDay(const std::string& hour, const std::string& minute) {
  if (Blank(hour) || Blank(minute))
    return std::nullopt;
  const int h = LenientInteger(hour);
  const int m = LenientInteger(minute);
  if (h < 0 || h > 23 || m < 0 || m > 59)
    return std::nullopt;
  return h * 60 + m;
}

// The scheduler's minute of a time (lenient, blanks read 0), limited to today's minutes.
std::optional<int> ScheduledMinute(const std::string& hour, const std::string& minute) {
  const long long value = MinutesOfDay(LenientInteger(hour), LenientInteger(minute));
  if (value < 0 || value >= kMinutesPerDay)
    return std::nullopt;
  return static_cast<int>(value);
}

PowerState PowerOf(const std::string& status) {
  if (status == "1")
    return PowerState::kOn;
  if (status == "0")
    return PowerState::kOff;
  return PowerState::kUnknown;
}

// Takes an action the scheduler runs at minute if it is the earliest from `from` so far, or
// runs in the same minute after the one kept.
void Consider(std::optional<NextAction>& next, int minute, bool powerOn, int from) {
  if (minute < from)
    return;
  if (!next || minute <= next->minute)
    next = NextAction{minute, powerOn};
}

}  // namespace

StatusMoment MomentOf(const LocalTime& now) {
  return StatusMoment{now.weekday, now.minutesSinceMidnight(), true};
}

std::optional<std::vector<RoomStatus>> ReadRoomStatus(const StatusMoment& moment) {
  std::vector<RoomStatus> rooms;
  try {
    Database db = Database::DefaultStore();
    RecordSet classes = db.query("select * from tblbj Order by ID");
    if (!classes.isValid())
      return std::nullopt;
    std::unordered_multimap<std::string, size_t> byName;
    for (; !classes.isEof(); classes.moveNext()) {
      RoomStatus room;
      room.name = classes.fieldText("Name");
      room.zkip = classes.fieldText("ZKIP");
      room.power = PowerOf(classes.fieldText("Status"));
      byName.emplace(room.name, rooms.size());
      rooms.push_back(std::move(room));
    }
    const char* weekday = SchoolWeekdayText(moment.weekday);
    if (weekday == nullptr)
      return rooms;  // no periods and no actions at the weekend
    RecordSet periods =
        db.query(FormatStatement("select * from tblkcTime where  Week='%s' Order by ID", weekday));
    if (!periods.isValid())
      return std::nullopt;
    for (; !periods.isEof(); periods.moveNext()) {
      const std::string startH = periods.fieldText("StartH");
      const std::string startM = periods.fieldText("StartM");
      const std::string endH = periods.fieldText("EndH");
      const std::string endM = periods.fieldText("EndM");
      const std::string teacher = periods.fieldText("ThName");
      PeriodStatus period;
      period.start = TimeOfDay(startH, startM);
      period.end = TimeOfDay(endH, endM);
      if (!period.start || !period.end)
        period.start = period.end = std::nullopt;
      period.teacher = Blank(teacher) ? std::string() : teacher;
      period.autoOn = LenientInteger(periods.fieldText("AutoOn")) == 1;
      period.autoOff = LenientInteger(periods.fieldText("AutoOff")) == 1;
      period.running = moment.markRunning && period.start && *period.start <= moment.fromMinute &&
                       moment.fromMinute < *period.end;
      const bool scheduled = !startH.empty() && !startM.empty() && !endH.empty() && !endM.empty();
      const std::optional<int> on = ScheduledMinute(startH, startM);
      const std::optional<int> off = ScheduledMinute(endH, endM);
      auto [first, last] = byName.equal_range(periods.fieldText("BJName"));
      for (auto it = first; it != last; ++it) {
        RoomStatus& room = rooms[it->second];
        PeriodStatus numbered = period;
        numbered.number = static_cast<int>(room.periods.size()) + 1;
        if (numbered.running && !room.running)
          room.running = room.periods.size();
        if (scheduled && period.autoOn && on)
          Consider(room.next, *on, true, moment.fromMinute);
        if (scheduled && period.autoOff && off)
          Consider(room.next, *off, false, moment.fromMinute);
        room.periods.push_back(std::move(numbered));
      }
    }
  } catch (const DatabaseError&) {
    return std::nullopt;
  }
  return rooms;
}

const char* PowerStateText(PowerState power) {
  switch (power) {
    case PowerState::kOn:
      return "已开机";
    case PowerState::kOff:
      return "已关机";
    case PowerState::kUnknown:
      break;
  }
  return "未知";
}

std::string TimeOfDayText(int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
  return text;
}

std::string CurrentPeriodText(const RoomStatus& room) {
  if (!room.running)
    return "无课";
  const PeriodStatus& period = room.periods[*room.running];
  std::string text = "第" + std::to_string(period.number) + "节 " + TimeOfDayText(*period.start) +
                     "-" + TimeOfDayText(*period.end);
  if (!period.teacher.empty())
    text += " " + period.teacher;
  return text;
}

std::string NextActionText(const RoomStatus& room) {
  if (!room.next)
    return std::string();
  return TimeOfDayText(room.next->minute) + (room.next->powerOn ? " 开机" : " 关机");
}

}  // namespace brenlow
