// Message boxes of the desktop program: a modal QMessageBox on the user-interface thread; from
// a worker thread the text goes to stderr at once and a box is queued to the user-interface
// thread, so that no worker ever waits for the administrator.
#pragma once

#include <atomic>
#include <memory>

#include "core/messages.h"

namespace brenlow {

class QtMessageHandler final : public MessageHandler {
 public:
  MessageAnswer show(const Message& message) override;

  // From now on a worker's message goes to stderr only, and boxes already queued are dropped:
  // once the main window has closed, nothing should pop up while the program ends.
  void stopQueuingBoxes() { queueBoxes_->store(false); }

 private:
  // Shared with the queued calls, which may run after a stop was asked for.
  std::shared_ptr<std::atomic<bool>> queueBoxes_ = std::make_shared<std::atomic<bool>>(true);
};

// The modal box itself (user-interface thread only).
MessageAnswer ShowMessageBox(const Message& message);

}  // namespace brenlow
