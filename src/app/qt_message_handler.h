// Message boxes of the desktop program: a modal QMessageBox on the user-interface thread; from
// a worker thread the text goes to stderr at once and a box is queued to the user-interface
// thread, so that no worker ever waits for the administrator.
#pragma once

#include "core/messages.h"

namespace brenlow {

class QtMessageHandler final : public MessageHandler {
 public:
  MessageAnswer show(const Message& message) override;
};

// The modal box itself (user-interface thread only).
MessageAnswer ShowMessageBox(const Message& message);

}  // namespace brenlow
