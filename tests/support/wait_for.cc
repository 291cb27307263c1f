#include "support/wait_for.h"

#include <QCoreApplication>
#include <QThread>
#include <thread>

namespace brenlow::testing {
namespace {

// Short enough that a wait ends promptly after its event, long enough not to busy a core
// that the program under test needs.
constexpr std::chrono::milliseconds kPollInterval{10};

void PauseBetweenChecks() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application != nullptr && application->thread() == QThread::currentThread()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, kPollInterval.count());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::this_thread::sleep_for(kPollInterval);
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition())
      return true;
    PauseBetweenChecks();
  }
  return condition();
}

}  // namespace brenlow::testing
