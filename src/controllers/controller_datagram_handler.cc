#include "controllers/controller_datagram_handler.h"

#include <cstdio>

#include "controllers/command_log.h"
#include "controllers/controller_commands.h"
#include "controllers/controller_datagram.h"
#include "controllers/send_command.h"
#include "core/shared_state.h"
#include "data/database_error.h"
#include "net/ports.h"
#include "records/day_plan.h"

namespace brenlow {
namespace {

constexpr const char* kClassByController = "select Name,Status from tblbj  where ZKIP='%s'";

}  // namespace

void ControllerDatagramHandler::handle(Database& db, std::span<const uint8_t> bytes, bool truncated,
                                       const std::string& sender) {
  if (truncated)
    return;
  std::optional<ControllerReport> report = DecodeControllerDatagram(bytes);
  if (!report)
    return;
  try {
    if (report->powered)
      recordPowerState(db, sender, *report->powered);
    if (report->cardNumber)
      handleCard(db, sender, *report->cardNumber);
  } catch (const DatabaseError&) {
    // A row that cannot be read ends this datagram; the next one is handled as usual.
  }
}

void ControllerDatagramHandler::recordPowerState(Database& db, const std::string& sender,
                                                 bool powered) {
  // Controllers repeat their state far more often than it changes. Writing only a changed
  // value leaves the table as the unconditional update would, but keeps the listener from
  // taking the store's write lock thousands of times a second, which would starve the
  // editor and the terminal services.
  bool differs = false;
  try {
    const std::string wanted = powered ? "1" : "0";
    RecordSet classes = db.query(FormatStatement(kClassByController, sender));
    while (!classes.isEof() && !differs) {
      differs = classes.fieldText("Status") != wanted;
      classes.moveNext();
    }
  } catch (const DatabaseError&) {
    differs = true;  // a Status that cannot be read (NULL) is written, as the update would
  }
  if (differs) {
    db.execute(
        FormatStatement("Update tblbj set Status=%d where ZKIP='%s'", powered ? 1 : 0, sender));
  }
}

void ControllerDatagramHandler::handleCard(Database& db, const std::string& sender,
                                           const std::string& cardNumber) {
  // The teacher list shows every card, also one that no class or teacher knows yet.
  if (teacherDialogOpen.load() == 1)
    DeliverCardNumber(cardNumber);

  RecordSet classes = db.query(FormatStatement(kClassByController, sender));
  if (classes.isEof()) {
    LogSwipe(cardNumber, sender, "", "unknown-controller");
    return;
  }
  const std::string className = classes.fieldText("Name");
  const std::string status = classes.fieldText("Status");

  RecordSet teachers =
      db.query(FormatStatement("select NameNumb from tblThMes  where Numb='%s'", cardNumber));
  if (teachers.isEof()) {
    LogSwipe(cardNumber, sender, className, "unknown-card");
    return;
  }
  const std::string nameNumb = teachers.fieldText("NameNumb");

  const LocalTime now = clock_.now();
  const auto elapsedNow = clock_.monotonicNow();
  const int nowMinutes = now.minutesSinceMidnight();
  // The periods of the day's plan, not of the clock's weekday: on a make-up day the followed
  // weekday's teacher opens the room, and on a day off the teacher still can, so that a wrong
  // calendar entry never locks anyone out.
  // A one-day change rules its period: a substitute's card opens the room instead of the
  // absent teacher's, and during a cancelled period no card does.
  const DayPlan plan = PlanOfTheDay(db, now.date(), className);
  bool inPeriod = false;
  bool cancelledNow = false;
  std::string substitutedBy;
  for (const PlannedPeriod& period : plan.periods) {
    if (!period.runsAt(nowMinutes))
      continue;
    if (period.change == ChangeKind::kCancelled) {
      cancelledNow = true;
    } else if (period.teacher == nameNumb) {
      inPeriod = true;
      const std::string standIn = period.teacher != period.timetabledTeacher
                                      ? " substitute for " + period.timetabledTeacher
                                      : std::string();
      decide(sender, className, status, cardNumber, standIn, elapsedNow);
    } else if (period.timetabledTeacher == nameNumb) {
      substitutedBy = period.teacher;
    }
  }
  if (inPeriod)
    return;
  if (cancelledNow)
    LogSwipe(cardNumber, sender, className, "period-cancelled");
  else if (!substitutedBy.empty())
    LogSwipe(cardNumber, sender, className, "substituted by " + substitutedBy);
  else
    LogSwipe(cardNumber, sender, className, "no-period-now");
}

void ControllerDatagramHandler::decide(const std::string& sender, const std::string& className,
                                       const std::string& status, const std::string& cardNumber,
                                       const std::string& standIn,
                                       SwipeCounter::TimePoint elapsedNow) {
  if (status == "0") {
    sendCommand(kPowerOnName, PowerOnCommand(), sender, className, cardNumber, standIn);
    return;
  }
  if (status != "1") {
    LogSwipe(cardNumber, sender, className, "unknown-status " + status + standIn);
    return;
  }
  const SwipeCounter::Counted counted = swipes_.countSwipe(sender, elapsedNow);
  if (counted.switchOff) {
    sendCommand(kCardPowerOffName, CardPowerOffCommand(), sender, className, cardNumber, standIn);
    return;
  }
  std::string decision = "counted " + std::to_string(counted.count) + " of 3";
  if (counted.expiredAfter) {
    // The unfinished series before this swipe was dropped.
    char text[64];
    std::snprintf(text, sizeof text, " after too-slow %.1f s",
                  static_cast<double>(counted.expiredAfter->count()) / 1000.0);
    decision += text;
  }
  LogSwipe(cardNumber, sender, className, decision + standIn);
}

void ControllerDatagramHandler::sendCommand(const char* name, const ControllerCommand& command,
                                            const std::string& sender, const std::string& className,
                                            const std::string& cardNumber,
                                            const std::string& standIn) {
  // A failed send is not retried: the teacher swipes again.
  SendCommand(name, className, sender, kControllerPort, command, SwipeReason(cardNumber) + standIn);
}

}  // namespace brenlow
