// The scheduled device commands of a period: power on at its start, PC shut-down and power off
// at its end. The scheduler calls both for every period of the day on every minute it acts
// on; each decides itself whether this is the minute (and the period's flag is set).
//
// Commands go to the texts of the class record: ZKIP for the controller (port 20108), PCIP for
// the classroom PC's shut-down agent (port 60123); a name is resolved, the empty text means
// this computer (127.0.0.1 when its own name does not resolve). Each call opens one socket of its
// own, sends at most once per class row and closes it; nothing is waited for or retried. Every
// command sent, and every failed send, writes its line to the command log
// (controllers/command_log.h) and is recorded as an event. The scheduled ones run on the
// user-interface thread (the minute timer); the ones sent now (by hand, catching up) on any.
#pragma once

#include <string>

#include "data/store.h"

namespace brenlow {

// At the start minute (hour * 60 + minute == nowMinutes) and with autoOn exactly 1, sends the
// power-on command to the controller of every class row named className, in ID order. Stops at
// the first failed send (logged, no message). A socket that cannot be made is shown as
// "socket创建失败!".
void SendPowerOn(const Store& store, const std::string& className, int hour, int minute,
                 int nowMinutes, int autoOn);

// At the end minute and with autoOff exactly 1, sends for every class row named className, in
// ID order, the shut-down datagram to its PC and then the power-off command to its controller.
// A PC that cannot be reached is logged and its controller is switched off all the same; a
// failed send to a controller stops there (logged, no message). A socket that cannot be made is
// shown as "socket创建失败!".
void SendPowerOff(const Store& store, const std::string& className, int hour, int minute,
                  int nowMinutes, int autoOff);

enum class ClassCommandResult { kSent, kNoSuchClass, kFailed };

// The same commands now, whatever the minute and the flags, with reason ("admin", "catch-up"):
// the power-on to the controller of every class row named className; or, for every such row,
// the shut-down to its PC and then the power-off to its controller. kFailed when a send (the
// PC's too) or the store failed; the other rows are still sent to.
ClassCommandResult SendClassPowerOn(const Store& store, const std::string& className,
                                    const std::string& reason);
ClassCommandResult SendClassPowerOff(const Store& store, const std::string& className,
                                     const std::string& reason);

}  // namespace brenlow
