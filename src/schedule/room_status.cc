#include "schedule/room_status.h"

#include <cstdio>
#include <unordered_map>

#include "data/database.h"
#include "events/last_heard.h"

namespace brenlow {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

// The scheduler's minute of a time, limited to today's minutes.
std::optional<int> ScheduledMinute(long long minutes) {
  if (minutes < 0 || minutes >= kMinutesPerDay)
    return std::nullopt;
  return static_cast<int>(minutes);
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
  return StatusMoment{now.date(), now.minutesSinceMidnight(), true};
}

std::optional<std::vector<RoomStatus>> ReadRoomStatus(const Store& store,
                                                      const StatusMoment& moment) {
  std::vector<RoomStatus> rooms;
  try {
    Database db = store.database();
    RecordSet classes = db.query("select * from tblbj Order by ID");
    if (!classes.isValid())
      return std::nullopt;
    std::unordered_multimap<std::string, size_t> byName;
    // The server sets every Status to 0 when it starts: until the room's controller reports
    // after that, 0 says nothing about the room.
    const LastHeard heard = ReadLastHeard(store);
    for (; !classes.isEof(); classes.moveNext()) {
      RoomStatus room;
      room.name = classes.fieldText("Name");
      room.zkip = classes.fieldText("ZKIP");
      room.power = heard.heardSinceStart(room.name) ? PowerOf(classes.fieldText("Status"))
                                                    : PowerState::kUnknown;
      byName.emplace(room.name, rooms.size());
      rooms.push_back(std::move(room));
    }
    for (RoomStatus& room : rooms) {
      room.lastReport = heard.of(room.name);
      room.heardSinceStart = heard.heardSinceStart(room.name);
    }
    const SchoolDayPlan plan = PlanOfTheSchoolDay(db, moment.date);
    for (RoomStatus& room : rooms)
      room.day = plan.reasonFor(room.name);
    for (const PlannedPeriod& planned : plan.periods) {
      PeriodStatus period;
      period.number = planned.number;
      if (planned.inUse) {
        period.start = static_cast<int>(planned.startMinutes());
        period.end = static_cast<int>(planned.endMinutes());
      }
      period.teacher = Blank(planned.teacher) ? std::string() : planned.teacher;
      period.change = planned.change;
      period.autoOn = planned.autoOn;
      period.autoOff = planned.autoOff;
      period.running = moment.markRunning && planned.held && planned.runsAt(moment.fromMinute);
      const std::optional<int> on = ScheduledMinute(planned.startMinutes());
      const std::optional<int> off = ScheduledMinute(planned.endMinutes());
      auto [first, last] = byName.equal_range(planned.className);
      for (auto it = first; it != last; ++it) {
        RoomStatus& room = rooms[it->second];
        if (period.running && !room.running)
          room.running = room.periods.size();
        if (planned.scheduled && planned.held && planned.autoOn && on)
          Consider(room.next, *on, true, moment.fromMinute);
        if (planned.scheduled && planned.autoOff && off)
          Consider(room.next, *off, false, moment.fromMinute);
        room.periods.push_back(period);
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

std::string PeriodTeacherText(const PeriodStatus& period) {
  if (!period.change)
    return period.teacher;
  std::string text = period.teacher;
  if (!text.empty())
    text += ' ';
  text += *period.change == ChangeKind::kSubstitute ? "代" : "停课";
  return text;
}

std::string CurrentPeriodText(const RoomStatus& room) {
  if (!room.running)
    return "无课";
  const PeriodStatus& period = room.periods[*room.running];
  // Appended piece by piece: GCC 12 at -O3 takes the chain of + for an overlapping copy.
  std::string text = "第";
  text += std::to_string(period.number);
  text += "节 ";
  text += TimeOfDayText(*period.start);
  text += '-';
  text += TimeOfDayText(*period.end);
  if (!period.teacher.empty()) {
    text += ' ';
    text += PeriodTeacherText(period);
  }
  return text;
}

std::string NextActionText(const RoomStatus& room) {
  if (!room.next)
    return std::string();
  return TimeOfDayText(room.next->minute) + (room.next->powerOn ? " 开机" : " 关机");
}

std::string LastReportText(const RoomStatus& room, const std::string& today) {
  if (!room.lastReport || room.lastReport->size() < 19)
    return "无";
  if (room.lastReport->compare(0, 10, today) == 0)
    return room.lastReport->substr(11, 8);
  return room.lastReport->substr(0, 10) + " " + room.lastReport->substr(11, 8);
}

}  // namespace brenlow
