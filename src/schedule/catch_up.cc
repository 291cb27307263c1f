#include "schedule/catch_up.h"

#include <algorithm>
#include <set>
#include <vector>

#include "core/messages.h"
#include "data/database.h"
#include "records/day_plan.h"
#include "schedule/device_commands.h"
#include "schedule/room_status.h"

namespace brenlow {
namespace {

void AddOnce(std::vector<std::string>& names, const std::string& name) {
  if (std::find(names.begin(), names.end(), name) == names.end())
    names.push_back(name);
}

}  // namespace

const char* CatchUpPolicyText(CatchUpPolicy policy) {
  switch (policy) {
    case CatchUpPolicy::kOff:
      return "off";
    case CatchUpPolicy::kPowerOff:
      return "power-off";
    case CatchUpPolicy::kAll:
      break;
  }
  return "all";
}

std::optional<CatchUpPolicy> CatchUpPolicyNamed(const std::string& text) {
  for (CatchUpPolicy policy :
       {CatchUpPolicy::kOff, CatchUpPolicy::kPowerOff, CatchUpPolicy::kAll}) {
    if (text == CatchUpPolicyText(policy))
      return policy;
  }
  return std::nullopt;
}

void CatchUp(const Store& store, const LocalTime& lastActed, const LocalTime& now,
             CatchUpPolicy policy) {
  const int from = lastActed.minutesSinceMidnight();
  const int to = now.minutesSinceMidnight();
  WriteStderrLine("catch-up: minutes " + TimeOfDayText(from + 1) + " to " + TimeOfDayText(to - 1) +
                  " of " + now.dateText() + " were missed; policy " + CatchUpPolicyText(policy));
  if (policy == CatchUpPolicy::kOff)
    return;
  std::vector<std::string> powerOff;
  std::vector<std::string> powerOn;
  try {
    Database db = store.database();
    db.open();
    const SchoolDayPlan plan = PlanOfTheSchoolDay(db, now.date());
    std::set<std::string> runningNow;
    for (const PlannedPeriod& period : plan.periods) {
      if (period.scheduled && period.held && period.startMinutes() <= to &&
          to < period.endMinutes()) {
        runningNow.insert(period.className);
        if (period.autoOn && period.startMinutes() > from && period.startMinutes() < to)
          AddOnce(powerOn, period.className);
      }
    }
    for (const PlannedPeriod& period : plan.periods) {
      if (period.scheduled && period.autoOff && period.endMinutes() > from &&
          period.endMinutes() < to && runningNow.count(period.className) == 0) {
        AddOnce(powerOff, period.className);
      }
    }
    db.close();
  } catch (const DatabaseError&) {
    WriteStderrLine("catch-up: the timetable could not be read; nothing caught up");
    return;
  }
  for (const std::string& className : powerOff)
    SendClassPowerOff(store, className, kCatchUpReason);
  if (policy == CatchUpPolicy::kAll) {
    for (const std::string& className : powerOn)
      SendClassPowerOn(store, className, kCatchUpReason);
  }
}

}  // namespace brenlow
