#include "controllers/command_log.h"

#include <cstdio>

#include "core/messages.h"
#include "net/limited_log.h"

namespace brenlow {
namespace {

std::string ClockText(int hour, int minute) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

}  // namespace

std::string PeriodStartReason(int hour, int minute) {
  return "period-start " + ClockText(hour, minute);
}

std::string PeriodEndReason(int hour, int minute) {
  return "period-end " + ClockText(hour, minute);
}

std::string SwipeReason(const std::string& cardNumber) {
  return "swipe teacher=" + cardNumber;
}

void LogCommand(const char* command, const std::string& className, const std::string& host,
                uint16_t port, const std::string& reason, const std::string& failure) {
  std::string line = std::string("command ") + command + " class=" + className +
                     " to=" + (host.empty() ? "(this computer)" : host) + ":" +
                     std::to_string(port) + " reason=" + reason;
  if (!failure.empty())
    line += " failed: " + failure;
  WriteStderrLine(line);
}

void LogCredit(const std::string& className, const std::string& teacher, int minutes,
               const std::string& reason) {
  WriteStderrLine("credit class=" + className + " teacher=" + teacher +
                  " minutes=" + std::to_string(minutes) + " reason=" + reason);
}

void LogSwipe(const std::string& cardNumber, const std::string& controller,
              const std::string& className, const std::string& decision) {
  std::string line = "swipe card=" + cardNumber + " from=" + controller;
  if (!className.empty())
    line += " class=" + className;
  // A controller's address can be forged and its datagrams repeated at wire rate: these lines
  // go through the log's limit, keyed by the address and the decision's first word.
  WriteLimitedLine(controller, "swipe " + decision.substr(0, decision.find(' ')),
                   line + " decision=" + decision);
}

}  // namespace brenlow
