#include "controllers/controller_datagram_handler.h"

#include <cstdio>

#include "controllers/command_log.h"
#include "controllers/controller_commands.h"
#include "controllers/controller_datagram.h"
#include "controllers/send_command.h"
#include "core/shared_state.h"
#include "data/database_error.h"
#include "events/event_log.h"
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
    while (!classes.isEof()) {
      const std::string name = classes.fieldText("Name");
      NoteControllerReport(name);
      std::string status;
      try {
        status = classes.fieldText("Status");
      } catch (const DatabaseError&) {
        // A Status that cannot be read (NULL) is written, as the update would.
      }
      if (status != wanted) {
        differs = true;
        RecordEvent(PowerEvent(sender, name, powered));
      }
      classes.moveNext();
    }
  } catch (const DatabaseError&) {
    differs = true;
  }
  if (differs) {
    db.execute(
        FormatStatement("Update tblbj set Status=%d where ZKIP='%s'", powered ? 1 : 0, sender));
  }
}

void ControllerDatagramHandler::swipeDecision(const std::string& cardNumber,
                                              const std::string& sender,
                                              const std::string& className,
                                              const std::string& teacher,
                                              const std::string& decision) {
  LogSwipe(cardNumber, sender, className, decision);
  RecordEvent(SwipeEvent(sender, className, cardNumber, teacher, decision, true));
}

void ControllerDatagramHandler::handleCard(Database& db, const std::string& sender,
                                           const std::string& cardNumber) {
  // The teacher list shows every card, also one that no class or teacher knows yet.
  if (teacherDialogOpen.load() == 1)
    DeliverCardNumber(cardNumber);

  RecordSet classes = db.query(FormatStatement(kClassByController, sender));
  if (classes.isEof()) {
    swipeDecision(cardNumber, sender, "", "", "unknown-controller");
    return;
  }
  const std::string className = classes.fieldText("Name");
  const std::string status = classes.fieldText("Status");

  RecordSet teachers =
      db.query(FormatStatement("select NameNumb from tblThMes  where Numb='%s'", cardNumber));
  if (teachers.isEof()) {
    swipeDecision(cardNumber, sender, className, "", "unknown-card");
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
      decide(sender, className, nameNumb, status, cardNumber, standIn, elapsedNow);
    } else if (period.timetabledTeacher == nameNumb) {
      substitutedBy = period.teacher;
    }
  }
  if (inPeriod)
    return;
  if (cancelledNow)
    swipeDecision(cardNumber, sender, className, nameNumb, "period-cancelled");
  else if (!substitutedBy.empty())
    swipeDecision(cardNumber, sender, className, nameNumb, "substituted by " + substitutedBy);
  else
    swipeDecision(cardNumber, sender, className, nameNumb, "no-period-now");
}

void ControllerDatagramHandler::decide(const std::string& sender, const std::string& className,
                                       const std::string& teacher, const std::string& status,
                                       const std::string& cardNumber, const std::string& standIn,
                                       SwipeCounter::TimePoint elapsedNow) {
  if (status == "0") {
    RecordEvent(SwipeEvent(sender, className, cardNumber, teacher, kPowerOnName, false));
    sendCommand(kPowerOnName, PowerOnCommand(), sender, className, cardNumber, standIn);
    return;
  }
  if (status != "1") {
    swipeDecision(cardNumber, sender, className, teacher, "unknown-status " + status + standIn);
    return;
  }
  const SwipeCounter::Counted counted = swipes_.countSwipe(sender, elapsedNow);
  if (counted.switchOff) {
    RecordEvent(SwipeEvent(sender, className, cardNumber, teacher, kCardPowerOffName, false));
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
  swipeDecision(cardNumber, sender, className, teacher, decision + standIn);
}

void ControllerDatagramHandler::sendCommand(const char* name, const ControllerCommand& command,
                                            const std::string& sender, const std::string& className,
                                            const std::string& cardNumber,
                                            const std::string& standIn) {
  // A failed send is not retried: the teacher swipes again.
  SendCommand(name, className, sender, kControllerPort, command, SwipeReason(cardNumber) + standIn);
}

}  // namespace brenlow
