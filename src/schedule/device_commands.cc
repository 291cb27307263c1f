#include "schedule/device_commands.h"

#include "controllers/command_log.h"
#include "controllers/controller_commands.h"
#include "controllers/send_command.h"
#include "core/messages.h"
#include "core/minutes_of_day.h"
#include "data/database.h"
#include "net/ports.h"
#include "net/socket.h"

namespace brenlow {
namespace {

constexpr const char* kClassByName = "select * from tblbj where  Name='%s' Order by ID";

// The sending socket of one command, or a closed one after the failure has been shown.
Socket OpenCommandSocket() {
  Socket socket = Socket::BindUdp("", 0, nullptr);
  if (!socket.isOpen())
    ShowMessage("socket创建失败!");
  return socket;
}

// Calls send with one socket for each of the class's rows in ID order, until send returns
// false (a command could not be sent) unless keepGoing.
template <typename Send>
ClassCommandResult SendToClassRows(const Store& store, const std::string& className, Send send,
                                   bool keepGoing = false) {
  Socket socket = OpenCommandSocket();
  if (!socket.isOpen())
    return ClassCommandResult::kFailed;
  ClassCommandResult result = ClassCommandResult::kNoSuchClass;
  try {
    Database db = store.database();
    db.open();
    RecordSet classes = db.query(FormatStatement(kClassByName, className));
    if (!classes.isValid())
      return ClassCommandResult::kFailed;
    while (!classes.isEof()) {
      if (result == ClassCommandResult::kNoSuchClass)
        result = ClassCommandResult::kSent;
      if (!send(socket, classes)) {
        result = ClassCommandResult::kFailed;
        if (!keepGoing)
          break;
      }
      classes.moveNext();
    }
    db.close();
  } catch (const DatabaseError&) {
    // A class that cannot be read gets no command; the scheduler goes on with the next period.
    result = ClassCommandResult::kFailed;
  }
  return result;
}

ClassCommandResult PowerOnRows(const Store& store, const std::string& className,
                               const std::string& reason, bool keepGoing) {
  return SendToClassRows(
      store, className,
      [&](const Socket& socket, const RecordSet& row) {
        return SendCommand(socket, kPowerOnName, className, row.fieldText("ZKIP"), kControllerPort,
                           PowerOnCommand(), reason);
      },
      keepGoing);
}

ClassCommandResult PowerOffRows(const Store& store, const std::string& className,
                                const std::string& reason, bool keepGoing) {
  return SendToClassRows(
      store, className,
      [&](const Socket& socket, const RecordSet& row) {
        const std::string pc = row.fieldText("PCIP");
        const std::string controller = row.fieldText("ZKIP");
        // The PC is asked to shut down first; the controller then cuts the room's power, also
        // when the PC could not be asked (logged): a room left powered all night is worse.
        const bool pcAsked = SendCommand(socket, kPcShutdownName, className, pc, kPcShutdownPort,
                                         PcShutdownDatagram(), reason);
        const bool switchedOff = SendCommand(socket, kPowerOffName, className, controller,
                                             kControllerPort, PowerOffCommand(), reason);
        // The scheduler stops at a controller it cannot reach; a PC it could not ask is only
        // logged there. Sent by hand, both count.
        return switchedOff && (pcAsked || !keepGoing);
      },
      keepGoing);
}

}  // namespace

void SendPowerOn(const Store& store, const std::string& className, int hour, int minute,
                 int nowMinutes, int autoOn) {
  if (autoOn != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  PowerOnRows(store, className, PeriodStartReason(hour, minute), false);
}

void SendPowerOff(const Store& store, const std::string& className, int hour, int minute,
                  int nowMinutes, int autoOff) {
  if (autoOff != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  PowerOffRows(store, className, PeriodEndReason(hour, minute), false);
}

ClassCommandResult SendClassPowerOn(const Store& store, const std::string& className,
                                    const std::string& reason) {
  return PowerOnRows(store, className, reason, true);
}

ClassCommandResult SendClassPowerOff(const Store& store, const std::string& className,
                                     const std::string& reason) {
  return PowerOffRows(store, className, reason, true);
}

}  // namespace brenlow
