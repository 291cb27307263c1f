#include "app/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace brenlow {
namespace {

// The handler only writes one byte: the one async-signal-safe way to reach the event loop.
int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal)) {
  if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
    return;
  }
  fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_, &QSocketNotifier::activated, [this] {
    char byte;
    [[maybe_unused]] ssize_t taken = ::read(signalPipe[0], &byte, 1);
    onSignal_();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  signal(SIGINT, SIG_DFL);
  signal(SIGTERM, SIG_DFL);
  delete notifier_;
}

}  // namespace brenlow
