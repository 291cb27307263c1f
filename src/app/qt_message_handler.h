// Message boxes of the desktop program: a modal QMessageBox on the user-interface thread; from
// a worker thread the text goes to stderr at once and a box is queued to the user-interface
// thread, so that no worker ever waits for the administrator.
//
// At most one worker box is open or queued at a time: a failing store makes every request of
// every terminal report, and a box per report would pile up (each box's event loop opening the
// next inside it) until the program falls over. Messages that come while a worker box is open
// go to stderr only and are counted; when the box is closed, the next box says how many there
// were. Boxes of the user-interface thread's own operations are not affected.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/messages.h"

namespace brenlow {

class QtMessageHandler final : public MessageHandler {
 public:
  MessageAnswer show(const Message& message) override;

  // From now on a worker's message goes to stderr only, and boxes already queued are dropped:
  // once the main window has closed, nothing should pop up while the program ends.
  void stopQueuingBoxes() { workerBoxes_->queueBoxes.store(false); }

  // Shared with the queued calls, which may run after the handler is gone.
  struct WorkerBoxes {
    std::atomic<bool> queueBoxes{true};
    std::atomic<bool> boxPending{false};  // a worker box is queued or open
    std::atomic<uint64_t> notShown{0};    // worker messages since, on stderr only
  };

 private:
  std::shared_ptr<WorkerBoxes> workerBoxes_ = std::make_shared<WorkerBoxes>();
};

// The modal box itself (user-interface thread only).
MessageAnswer ShowMessageBox(const Message& message);

// The text of the box that follows a worker box: how many worker messages went to stderr only.
std::string NotShownText(uint64_t count);

}  // namespace brenlow
