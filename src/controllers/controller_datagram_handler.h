// What the server does with one controller datagram: it keeps the reporting class's Status
// equal to the power state its controller reports, hands a swiped card's number to an open
// teacher list, and lets the period's teacher (on a day of a substitute, the substitute) switch
// the classroom on (one swipe) or off (three quick swipes) by sending commands back to the
// controller; during a cancelled period no card switches anything.
//
// A controller is known only by the IPv4 address its datagrams come from, which is compared
// with tblbj.ZKIP. Every swipe decision and every command sent is written to the command log
// (controllers/command_log.h) and recorded as an event, like every change of a class's Status
// and, once a minute at most, the time a class's controller was last heard
// (events/event_log.h). Listener thread only; the Database handed in belongs to that thread.
#pragma once

#include <span>
#include <string>

#include "controllers/controller_commands.h"
#include "controllers/swipe_counter.h"
#include "core/clock.h"
#include "data/database.h"

namespace brenlow {

class ControllerDatagramHandler {
 public:
  // The clock gives the period test its date and minute and the swipe rule its elapsed time;
  // it must outlive the handler.
  explicit ControllerDatagramHandler(const Clock& clock) : clock_(clock) {}

  // Handles one received datagram. bytes are those received (at most the 24-byte buffer);
  // truncated says the datagram was longer than the buffer, which makes it ignored whole.
  // A store failure ends this datagram's handling quietly.
  void handle(Database& db, std::span<const uint8_t> bytes, bool truncated,
              const std::string& sender);

 private:
  void recordPowerState(Database& db, const std::string& sender, bool powered);
  void handleCard(Database& db, const std::string& sender, const std::string& cardNumber);
  // What one swipe in one of the teacher's periods does, by the class's Status. standIn ends
  // the logged reason or decision: " substitute for NAMENUMB" when a substitute swiped, or empty.
  void decide(const std::string& sender, const std::string& className, const std::string& teacher,
              const std::string& status, const std::string& cardNumber, const std::string& standIn,
              SwipeCounter::TimePoint elapsedNow);
  // A decision that sends nothing: its limited log line and its event. teacher is the card's
  // NameNumb, empty when the card is nobody's.
  void swipeDecision(const std::string& cardNumber, const std::string& sender,
                     const std::string& className, const std::string& teacher,
                     const std::string& decision);
  void sendCommand(const char* name, const ControllerCommand& command, const std::string& sender,
                   const std::string& className, const std::string& cardNumber,
                   const std::string& standIn);

  const Clock& clock_;
  SwipeCounter swipes_;
};

}  // namespace brenlow
