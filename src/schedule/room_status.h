// What each room is doing: for every class (tblbj order) its controller address, its power
// state as its controller last reported it (unknown until it reported after the server last
// started, events/last_heard.h), its plan of one day (records/day_plan.h): why the
// day is what it is, its periods, the period running now and the next minute at which the
// scheduler will power the room on or off. The status window of the desktop program and
// `brenlow-admin status` both show these rows, so they never disagree.
//
// The next action is the scheduler's (run_schedule.h): a period that is not scheduled is passed
// over, a power-on only for a held lesson, a power-off also on a day off. The minute now counts
// as still to come (its tick may not have run yet). When several actions fall in the same
// minute, the one the scheduler runs last (ID order, power-on before power-off within a row) is
// shown, as that is the state the room is left in. A period runs only when its lesson is held:
// on a day off and during a cancelled period nothing is running. Any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/calendar_date.h"
#include "core/clock.h"
#include "data/store.h"
#include "records/day_plan.h"

namespace brenlow {

enum class PowerState { kOn, kOff, kUnknown };

struct PeriodStatus {
  int number = 0;  // position among the class's periods of the applying weekday in ID order, from 1
  // Minutes since midnight; present when all four time texts read as a time of day (a period
  // not in use holds blanks and has none).
  std::optional<int> start;
  std::optional<int> end;
  // Whose lesson it is: ThName, or the substitute's NameNumb on a day of a substitute; empty
  // when it holds only blanks.
  std::string teacher;
  std::optional<ChangeKind> change;  // the day's one-day change of the period, if any
  bool autoOn = false;
  bool autoOff = false;
  bool running = false;  // held, and start <= now < end
};

struct NextAction {
  int minute = 0;  // since midnight
  bool powerOn = false;
};

struct RoomStatus {
  std::string name;
  std::string zkip;
  PowerState power = PowerState::kUnknown;
  DayReason day;                      // why the day's periods are what they are
  std::vector<PeriodStatus> periods;  // every period row of the day, ID order
  std::optional<size_t> running;      // index into periods of the period running now
  std::optional<NextAction> next;     // the next action from now to the end of the day
  // When its controller last reported ("YYYY-MM-DDTHH:MM:SS", kept at most once a minute);
  // nullopt when it never did.
  std::optional<std::string> lastReport;
  // Its controller reported after the server last started (before that, its power state is
  // only what start-up reset it to).
  bool heardSinceStart = false;
};

// The moment the rows are read for: a date, the minute from which actions count, and whether a
// period can be running (not on another day).
struct StatusMoment {
  CalendarDate date;
  int fromMinute = 0;
  bool markRunning = true;
};

StatusMoment MomentOf(const LocalTime& now);

// The rows, or nullopt when the store cannot be read (a missing file, a failed query).
std::optional<std::vector<RoomStatus>> ReadRoomStatus(const Store& store,
                                                      const StatusMoment& moment);

// The texts the status window and the shell show.
const char* PowerStateText(PowerState power);  // "已开机", "已关机", "未知"
std::string TimeOfDayText(int minute);         // "08:05"
// The teacher with the day's mark: "李四(8) 代" for a substitute, "张三(7) 停课" (or "停课")
// for a cancelled period, the teacher alone otherwise.
std::string PeriodTeacherText(const PeriodStatus& period);
// "第N节 HH:MM-HH:MM" and the teacher (as PeriodTeacherText) when there is one, or "无课".
std::string CurrentPeriodText(const RoomStatus& room);
// "HH:MM 开机" or "HH:MM 关机", or empty when nothing is left.
std::string NextActionText(const RoomStatus& room);
// When the room's controller last reported: "HH:MM:SS" on the day given ("YYYY-MM-DD"),
// "YYYY-MM-DD HH:MM:SS" on another, "无" when never.
std::string LastReportText(const RoomStatus& room, const std::string& today);

}  // namespace brenlow
