// What each room is doing: for every class (tblbj order) its controller address, its power
// state as its controller last reported it, the periods of one day, the period running now and
// the next minute at which the scheduler will power the room on or off. The status window of
// the desktop program and `brenlow-admin status` both show these rows, so they never disagree.
//
// The next action is read the way the scheduler reads the periods (run_schedule.h): a row with
// an empty time text is passed over, times read leniently, AutoOn/AutoOff act when they read 1.
// The minute now counts as still to come (its tick may not have run yet). When several actions
// fall in the same minute, the one the scheduler runs last (ID order, power-on before power-off
// within a row) is shown, as that is the state the room is left in. Any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/clock.h"

namespace brenlow {

enum class PowerState { kOn, kOff, kUnknown };

struct PeriodStatus {
  int number = 0;  // position among the class's periods of that weekday in ID order, from 1
  // Minutes since midnight; present when all four time texts read as a time of day (a period
  // not in use holds blanks and has none).
  std::optional<int> start;
  std::optional<int> end;
  std::string teacher;  // ThName, empty when it holds only blanks
  bool autoOn = false;
  bool autoOff = false;
  bool running = false;  // start <= now < end
};

struct NextAction {
  int minute = 0;  // since midnight
  bool powerOn = false;
};

struct RoomStatus {
  std::string name;
  std::string zkip;
  PowerState power = PowerState::kUnknown;
  std::vector<PeriodStatus> periods;  // every period row of the day, ID order
  std::optional<size_t> running;      // index into periods of the period running now
  std::optional<NextAction> next;     // the next action from now to the end of the day
};

// The moment the rows are read for: a day of the week (0 Sunday ... 6 Saturday), the minute
// from which actions count, and whether a period can be running (not on another day).
struct StatusMoment {
  int weekday = 1;
  int fromMinute = 0;
  bool markRunning = true;
};

StatusMoment MomentOf(const LocalTime& now);

// The rows, or nullopt when the store cannot be read (a missing file, a failed query).
std::optional<std::vector<RoomStatus>> ReadRoomStatus(const StatusMoment& moment);

// The texts the status window and the shell show.
const char* PowerStateText(PowerState power);  // "已开机", "已关机", "未知"
std::string TimeOfDayText(int minute);         // "08:05"
// "第N节 HH:MM-HH:MM" and the teacher when there is one, or "无课".
std::string CurrentPeriodText(const RoomStatus& room);
// "HH:MM 开机" or "HH:MM 关机", or empty when nothing is left.
std::string NextActionText(const RoomStatus& room);

}  // namespace brenlow
