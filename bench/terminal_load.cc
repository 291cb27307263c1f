#include "terminal_load.h"

#include <algorithm>
#include <cerrno>

#include "net/readiness_wait.h"

namespace brenlow {
namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double>& values, double fraction) {
  if (values.empty())
    return 0;
  size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index),
                   values.end());
  return values[index];
}

// One blocking exchange on a connection (used while connecting).
bool Exchange(const Socket& socket, const LoadRequest& request) {
  if (!socket.sendAll(request.bytes.data(), request.bytes.size(), std::chrono::seconds(5))) {
    return false;
  }
  std::string reply(request.replySize, '\0');
  size_t got = 0;
  while (got < request.replySize) {
    long n =
        socket.receiveWithin(reply.data() + got, request.replySize - got, std::chrono::seconds(5));
    if (n <= 0)
      return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool TerminalLoad::connectUpTo(size_t count, const LoadRequest& probe, std::string* error) {
  while (terminals_.size() < count) {
    // Each terminal from an address of its own, as classroom PCs are: 127.20.0.1, 127.20.0.2...
    const size_t n = terminals_.size();
    const std::string source =
        "127.20." + std::to_string(n / 250) + "." + std::to_string(1 + n % 250);
    Socket socket = Socket::ConnectTcp("127.0.0.1", port_, error, source);
    if (!socket.isOpen())
      return false;
    terminals_.push_back(std::move(socket));
    if (terminals_.size() % 4 == 0 && !Exchange(terminals_.back(), probe)) {
      *error = "no answer while connecting";
      return false;
    }
  }
  return true;
}

LoadFigures TerminalLoad::run(size_t active,
                              const std::function<LoadRequest(uint64_t sequence)>& next,
                              std::chrono::milliseconds warmUp,
                              std::chrono::milliseconds duration) {
  struct Asking {
    size_t expected = 0;
    size_t received = 0;
    Clock::time_point sent;
  };
  active = std::min(active, terminals_.size());
  std::vector<Asking> asking(active);
  std::string error;
  ReadinessWait wait(active, &error);
  uint64_t sequence = 0;
  auto send = [&](size_t i) {
    LoadRequest request = next(sequence++);
    asking[i] = {request.replySize, 0, Clock::now()};
    terminals_[i].sendAll(request.bytes.data(), request.bytes.size(), std::chrono::seconds(5));
  };
  for (size_t i = 0; i < active; ++i)
    wait.add(terminals_[i].fd(), i);

  const Clock::time_point start = Clock::now();
  const Clock::time_point measureFrom = start + warmUp;
  const Clock::time_point end = measureFrom + duration;
  for (size_t i = 0; i < active; ++i)
    send(i);

  LoadFigures figures;
  std::vector<double> latencies;
  size_t outstanding = active;
  std::vector<uint64_t> ready;
  static char buffer[1 << 16];
  while (outstanding > 0) {
    if (Clock::now() > end + std::chrono::seconds(10)) {
      figures.complete = false;  // a reply went missing
      break;
    }
    wait.wait(&ready);
    for (uint64_t i : ready) {
      for (;;) {
        long n = terminals_[i].receive(buffer, sizeof buffer);
        if (n <= 0)
          break;
        asking[i].received += static_cast<size_t>(n);
      }
      if (asking[i].received < asking[i].expected)
        continue;
      Clock::time_point now = Clock::now();
      ++figures.answered;
      if (asking[i].sent >= measureFrom && now <= end) {
        latencies.push_back(
            std::chrono::duration<double, std::micro>(now - asking[i].sent).count());
      }
      if (now < end) {
        send(i);
      } else {
        --outstanding;
      }
    }
  }
  figures.requests = latencies.size();
  figures.perSecond = latencies.size() / std::chrono::duration<double>(duration).count();
  figures.p50Microseconds = Percentile(latencies, 0.50);
  figures.p99Microseconds = Percentile(latencies, 0.99);
  return figures;
}

}  // namespace brenlow
