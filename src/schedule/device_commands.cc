#include "schedule/device_commands.h"

#include "controllers/command_log.h"
#include "controllers/controller_commands.h"
#include "core/messages.h"
#include "core/minutes_of_day.h"
#include "data/database.h"
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

// Sends one command and writes its line to the command log.
template <typename Datagram>
bool Send(const Socket& socket, const char* name, const std::string& className,
          const std::string& host, uint16_t port, const Datagram& datagram,
          const std::string& reason) {
  std::string error;
  long sent = socket.sendTo(host, port, datagram.data(), datagram.size(), &error);
  if (sent == 0)
    error = "nothing sent";
  LogCommand(name, className, host, port, reason, sent > 0 ? std::string() : error);
  return sent > 0;
}

}  // namespace

void SendPowerOn(const std::string& className, int hour, int minute, int nowMinutes, int autoOn) {
  if (autoOn != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  Socket socket = OpenCommandSocket();
  if (!socket.isOpen())
    return;
  try {
    Database db = Database::DefaultStore();
    db.open();
    RecordSet classes = db.query(FormatStatement(kClassByName, className));
    while (!classes.isEof()) {
      if (!Send(socket, kPowerOnName, className, classes.fieldText("ZKIP"), kControllerPort,
                PowerOnCommand(), PeriodStartReason(hour, minute)))
        break;
      classes.moveNext();
    }
    db.close();
  } catch (const DatabaseError&) {
    // A class that cannot be read gets no command; the scheduler goes on with the next period.
  }
}

void SendPowerOff(const std::string& className, int hour, int minute, int nowMinutes, int autoOff) {
  if (autoOff != 1 || MinutesOfDay(hour, minute) != nowMinutes)
    return;
  Socket socket = OpenCommandSocket();
  if (!socket.isOpen())
    return;
  try {
    Database db = Database::DefaultStore();
    db.open();
    RecordSet classes = db.query(FormatStatement(kClassByName, className));
    while (!classes.isEof()) {
      const std::string pc = classes.fieldText("PCIP");
      const std::string controller = classes.fieldText("ZKIP");
      const std::string reason = PeriodEndReason(hour, minute);
      // The PC is asked to shut down first; the controller then cuts the room's power, also
      // when the PC could not be asked (logged): a room left powered all night is worse.
      Send(socket, kPcShutdownName, className, pc, kPcShutdownPort, PcShutdownDatagram(), reason);
      if (!Send(socket, kPowerOffName, className, controller, kControllerPort, PowerOffCommand(),
                reason))
        break;
      classes.moveNext();
    }
    db.close();
  } catch (const DatabaseError&) {
    // As in SendPowerOn.
  }
}

}  // namespace brenlow
