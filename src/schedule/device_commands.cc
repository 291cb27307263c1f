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
// false (a command could not be sent).
template <typename Send>
void SendToClassRows(const std::string& className, Send send) {
  Socket socket = OpenCommandSocket();
  if (!socket.isOpen())
    return;
  try {
    Database db = Database::DefaultStore();
    db.open();
    RecordSet classes = db.query(FormatStatement(kClassByName, className));
    while (!classes.isEof()) {
      if (!send(socket, classes))
        break;
      classes.moveNext();
    }
    db.close();
  } catch (const DatabaseError&) {
    // A class that cannot be read gets no command; the scheduler goes on with the next period.
  }
}

}  // namespace

void SendPowerOn(const std::string& className, int hour, int minute, int nowMinutes, int autoOn) {
  if (autoOn != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  SendToClassRows(className, [&](const Socket& socket, const RecordSet& row) {
    return SendCommand(socket, kPowerOnName, className, row.fieldText("ZKIP"), kControllerPort,
                       PowerOnCommand(), PeriodStartReason(hour, minute));
  });
}

void SendPowerOff(const std::string& className, int hour, int minute, int nowMinutes, int autoOff) {
  if (autoOff != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  SendToClassRows(className, [&](const Socket& socket, const RecordSet& row) {
    const std::string pc = row.fieldText("PCIP");
    const std::string controller = row.fieldText("ZKIP");
    const std::string reason = PeriodEndReason(hour, minute);
    // The PC is asked to shut down first; the controller then cuts the room's power, also when
    // the PC could not be asked (logged): a room left powered all night is worse.
    SendCommand(socket, kPcShutdownName, className, pc, kPcShutdownPort, PcShutdownDatagram(),
                reason);
    return SendCommand(socket, kPowerOffName, className, controller, kControllerPort,
                       PowerOffCommand(), reason);
  });
}

}  // namespace brenlow
