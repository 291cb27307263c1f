#include "events/event.h"

namespace brenlow {

const char* EventKindText(EventKind kind) {
  switch (kind) {
    case EventKind::kSwipe:
      return "swipe";
    case EventKind::kCommand:
      return "command";
    case EventKind::kEdit:
      return "edit";
    case EventKind::kPower:
      break;
  }
  return "power";
}

Event SwipeEvent(const std::string& address, const std::string& className, const std::string& card,
                 const std::string& teacher, const std::string& decision, bool limited) {
  Event event;
  event.kind = EventKind::kSwipe;
  event.address = address;
  event.className = className;
  event.card = card;
  event.teacher = teacher;
  event.decision = decision;
  event.limited = limited;
  return event;
}

Event CommandEvent(const std::string& className, const std::string& host, int port,
                   const std::string& command, const std::string& reason,
                   const std::string& failure) {
  Event event;
  event.kind = EventKind::kCommand;
  event.className = className;
  event.address = host;
  event.port = port;
  event.command = command;
  event.reason = reason;
  event.outcome = failure;
  return event;
}

Event EditEvent(const std::string& peer, const std::string& className, const std::string& editRow,
                std::vector<EditedField> fields, const std::string& outcome) {
  Event event;
  event.kind = EventKind::kEdit;
  event.address = peer;
  event.className = className;
  event.editRow = editRow;
  event.fields = std::move(fields);
  event.outcome = outcome;
  return event;
}

Event PowerEvent(const std::string& address, const std::string& className, bool powered) {
  Event event;
  event.kind = EventKind::kPower;
  event.address = address;
  event.className = className;
  event.power = powered ? "on" : "off";
  return event;
}

}  // namespace brenlow
