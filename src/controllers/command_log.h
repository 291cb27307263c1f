// The server's command log: one stderr line (so, under systemd, one journal line) for every
// command sent to a classroom and for every card swipe decision, so that an administrator can
// see what the server did to a room and why:
//
//   command power-on class=一班 to=10.0.0.5:20108 reason=period-start 08:00
//   command pc-shutdown class=一班 to=10.0.0.6:60123 reason=period-end 08:45
//   command power-off class=一班 to=10.0.0.5:20108 reason=period-end 08:45
//   command power-on class=一班 to=10.0.0.5:20108 reason=swipe teacher=12-255-0-45
//   command card-power-off class=一班 to=10.0.0.5:20108 reason=swipe teacher=12-255-0-45
//   swipe card=9-9-9-9 from=10.0.0.7 decision=unknown-controller
//   swipe card=9-9-9-9 from=10.0.0.5 class=一班 decision=unknown-card
//   swipe card=12-255-0-45 from=10.0.0.5 class=一班 decision=no-period-now
//   swipe card=12-255-0-45 from=10.0.0.5 class=一班 decision=counted 1 of 3
//   swipe card=12-255-0-45 from=10.0.0.5 class=一班 decision=too-slow 7 s for 3 swipes
//   command power-on class=一班 to=10.0.0.5:20108 reason=swipe teacher=8 substitute for 张三(7)
//   swipe card=7 from=10.0.0.5 class=一班 decision=substituted by 李四(8)
//   swipe card=7 from=10.0.0.5 class=一班 decision=period-cancelled
//   credit class=一班 teacher=李四(8) minutes=45 reason=period-start 08:00 substitute for 张三(7)
//
// A command whose send failed carries " failed: <why>" at the end. Each kind starts with a
// fixed word ("command <name>", "swipe", "credit") so that grep finds it; the free text (the
// reason, the decision) comes last. Lines hold addresses, class names and card numbers, never a
// password. Any thread.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

// The names of the commands in the log.
inline constexpr const char* kPowerOnName = "power-on";
inline constexpr const char* kPowerOffName = "power-off";
inline constexpr const char* kCardPowerOffName = "card-power-off";
inline constexpr const char* kPcShutdownName = "pc-shutdown";

// The reasons of the scheduled commands: "period-start 08:00", "period-end 08:45".
std::string PeriodStartReason(int hour, int minute);
std::string PeriodEndReason(int hour, int minute);
// The reason of a swipe's command: "swipe teacher=12-255-0-45" (the card number is the
// teacher's number).
std::string SwipeReason(const std::string& cardNumber);

// Logs one command sent to host:port (the address text as the class record holds it; the empty
// text, which means this computer, shows as "(this computer)"). failure is empty when the send
// succeeded, otherwise why it did not.
void LogCommand(const char* command, const std::string& className, const std::string& host,
                uint16_t port, const std::string& reason, const std::string& failure);

// Logs the use time credited to a teacher (a NameNumb) for a lesson in the class.
void LogCredit(const std::string& className, const std::string& teacher, int minutes,
               const std::string& reason);

// Logs a swipe decision that sends nothing, within the log's limit (net/limited_log.h): at most
// 10 lines a minute for each controller address and decision. className is empty when no class
// has the controller's address.
void LogSwipe(const std::string& cardNumber, const std::string& controller,
              const std::string& className, const std::string& decision);

}  // namespace brenlow
