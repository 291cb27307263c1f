// One thing that happened in the rooms, as the events table keeps it: a card swipe's decision,
// a command sent to a classroom device, an edit a terminal made, or a change of a room's
// reported power state. Which fields a kind fills:
//
//   every kind  time (local "YYYY-MM-DDTHH:MM:SS", stamped when recorded), className (empty
//               when no class is known), address (the peer for swipes, edits and power
//               changes; the target for commands), count (1, more when repeats were merged)
//   swipe       card, teacher (the teacher's NameNumb, empty when the card is nobody's),
//               decision (the command log's text: "unknown-card", "counted 1 of 3", or the
//               command a swipe sent, "power-on", "card-power-off")
//   command     port, command (the command log's name), reason, outcome (empty when sent,
//               otherwise why the send failed)
//   edit        editRow ("period week=星期三 row=1", "courses row=0"), fields (the changed
//               fields, old and new), outcome (empty when carried out, otherwise the audit's
//               outcome: "no such row", a failure)
//   power       power ("on" or "off")
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace brenlow {

enum class EventKind { kSwipe, kCommand, kEdit, kPower };

// "swipe", "command", "edit", "power": the kind as stored and as the shell names it.
const char* EventKindText(EventKind kind);

struct EditedField {
  std::string field;
  std::string before;
  std::string after;
};

struct Event {
  EventKind kind = EventKind::kSwipe;
  std::string time;
  std::string className;
  std::string address;
  int port = 0;
  long long count = 1;
  std::string card;
  std::string teacher;
  std::string decision;
  std::string command;
  std::string reason;
  std::string outcome;
  std::string editRow;
  std::vector<EditedField> fields;
  std::string power;
  // A decision whose log line goes through the log's rate limit: identical repeats within a
  // minute become one row with a count.
  bool limited = false;
};

Event SwipeEvent(const std::string& address, const std::string& className, const std::string& card,
                 const std::string& teacher, const std::string& decision, bool limited);
Event CommandEvent(const std::string& className, const std::string& host, int port,
                   const std::string& command, const std::string& reason,
                   const std::string& failure);
Event EditEvent(const std::string& peer, const std::string& className, const std::string& editRow,
                std::vector<EditedField> fields, const std::string& outcome);
Event PowerEvent(const std::string& address, const std::string& className, bool powered);

}  // namespace brenlow
