// State shared between the user-interface thread and the controller listener.
//
// teacherDialogOpen is 1 while the teacher list dialog runs (written by the user-interface
// thread only). The dialog registers where card numbers go while it is open; the listener
// calls DeliverCardNumber, which blocks until the receiver has taken the text (the receiver
// is expected to hand it to the user-interface thread with a blocking queued call). The
// user-interface thread never waits for the listener, so this cannot deadlock.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace brenlow {

extern std::atomic<int> teacherDialogOpen;

using CardNumberReceiver = std::function<void(const std::string& cardNumber)>;

// Replaces the receiver (the "teacherDialogWindow"); an empty function clears it. Thread-safe.
void SetCardNumberReceiver(CardNumberReceiver receiver);

// Hands the card number to the registered receiver, if any, and waits until it returns. The
// text stays the caller's; a receiver copies what it keeps.
void DeliverCardNumber(const std::string& cardNumber);

}  // namespace brenlow
