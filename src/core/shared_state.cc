#include "core/shared_state.h"

#include <memory>
#include <mutex>

namespace brenlow {

std::atomic<int> teacherDialogOpen{0};

namespace {

std::mutex receiverMutex;
std::shared_ptr<const CardNumberReceiver> currentReceiver;  // guarded by receiverMutex

}  // namespace

void SetCardNumberReceiver(CardNumberReceiver receiver) {
  auto next = receiver ? std::make_shared<const CardNumberReceiver>(std::move(receiver)) : nullptr;
  std::lock_guard lock(receiverMutex);
  currentReceiver = std::move(next);
}

void DeliverCardNumber(const std::string& cardNumber) {
  std::shared_ptr<const CardNumberReceiver> receiver;
  {
    std::lock_guard lock(receiverMutex);
    receiver = currentReceiver;
  }
  // Called outside the lock: the receiver may block on the user-interface thread, which may be
  // replacing the receiver at that moment.
  if (receiver) {
    (*receiver)(cardNumber);
  }
}

}  // namespace brenlow
