// State shared between the user-interface thread and the controller listener.
//
// teacherDialogOpen is 1 while the teacher list dialog runs (written by the user-interface
// thread only). The dialog registers where card numbers go while it is open; the listener
// calls DeliverCardNumber, which returns once the receiver has taken a copy of the text. The
// receiver hands it to the user-interface thread without waiting for it, so a busy
// user-interface thread never holds up the listener.
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace brenlow {

extern std::atomic<int> teacherDialogOpen;

using CardNumberReceiver = std::function<void(const std::string& cardNumber)>;

// Replaces the receiver (the "teacherDialogWindow"); an empty function clears it. Thread-safe.
void SetCardNumberReceiver(CardNumberReceiver receiver);

// Hands the card number to the registered receiver, if any. The text stays the caller's; a
// receiver copies what it keeps and must not wait for another thread.
void DeliverCardNumber(const std::string& cardNumber);

}  // namespace brenlow
