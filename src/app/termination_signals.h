// SIGINT and SIGTERM turned into a call on the Qt event loop, so that both the desktop program
// and the headless server end normally (workers stopped, connections closed) when asked to.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace brenlow {

class TerminationSignals {
 public:
  // onSignal runs on the thread of the event loop, once per signal received.
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  std::function<void()> onSignal_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace brenlow
