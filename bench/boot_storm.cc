#include "boot_storm.h"

#include <cerrno>

#include "net/readiness_wait.h"
#include "net/socket.h"

namespace brenlow {
namespace {

using Clock = std::chrono::steady_clock;

// Terminal i's own address: 127.10.0.1, 127.10.0.2, ... 250 to a block.
std::string SourceAddress(size_t terminal) {
  return "127.10." + std::to_string(terminal / 250) + "." + std::to_string(1 + terminal % 250);
}

struct Terminal {
  Socket socket;
  std::vector<StormStep> steps;
  size_t step = 0;
  size_t received = 0;
  bool done = false;
};

}  // namespace

StormFigures RunBootStorm(uint16_t port, size_t terminals,
                          const std::function<std::vector<StormStep>(size_t terminal)>& steps,
                          std::chrono::seconds limit) {
  StormFigures figures;
  std::string error;
  ReadinessWait wait(terminals, &error);
  std::vector<Terminal> all(terminals);
  const Clock::time_point start = Clock::now();
  Clock::time_point lastReply = start;
  size_t outstanding = 0;
  for (size_t i = 0; i < terminals; ++i) {
    Terminal& terminal = all[i];
    terminal.steps = steps(i);
    terminal.socket = Socket::ConnectTcp("127.0.0.1", port, &error, SourceAddress(i));
    if (!terminal.socket.isOpen() || terminal.steps.empty()) {
      terminal.done = true;
      ++figures.failed;
      continue;
    }
    terminal.socket.setNonBlocking(true);
    wait.add(terminal.socket.fd(), i);
    const std::string& first = terminal.steps[0].bytes;
    terminal.socket.sendAll(first.data(), first.size(), std::chrono::seconds(5));
    ++outstanding;
  }
  auto fail = [&](Terminal& terminal) {
    terminal.done = true;
    terminal.socket.close();
    ++figures.failed;
    --outstanding;
  };
  static char buffer[1 << 16];
  while (outstanding > 0 && Clock::now() < start + limit) {
    std::vector<ReadinessWait::Event> events;
    wait.wait(&events, std::chrono::milliseconds(100));
    for (const ReadinessWait::Event& event : events) {
      Terminal& terminal = all[event.tag];
      if (terminal.done)
        continue;
      for (;;) {
        long got = terminal.socket.receive(buffer, sizeof buffer);
        if (got > 0) {
          terminal.received += static_cast<size_t>(got);
          continue;
        }
        if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
          fail(terminal);
        break;
      }
      if (terminal.done || terminal.received < terminal.steps[terminal.step].replySize)
        continue;
      terminal.received -= terminal.steps[terminal.step].replySize;
      if (++terminal.step == terminal.steps.size()) {
        terminal.done = true;
        ++figures.answered;
        --outstanding;
        lastReply = Clock::now();
        terminal.socket.close();
        continue;
      }
      const std::string& next = terminal.steps[terminal.step].bytes;
      if (!terminal.socket.sendAll(next.data(), next.size(), std::chrono::seconds(5)))
        fail(terminal);
    }
  }
  figures.failed += outstanding;
  figures.seconds =
      std::chrono::duration<double>((outstanding > 0 ? Clock::now() : lastReply) - start).count();
  return figures;
}

}  // namespace brenlow
