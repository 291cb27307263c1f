#include "minimal_server.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "net/readiness_wait.h"
#include "net/socket.h"
#include "terminals/terminal_request.h"

namespace brenlow {

struct MinimalServer::State {
  struct Peer {
    Socket socket;
    std::string input;
    std::string output;
  };
  Socket listening;
  std::function<size_t(int32_t)> replySize;
  std::string error;
  ReadinessWait wait{4096, &error};
  std::map<uint64_t, Peer> peers;
  uint64_t next = 1;

  void accept() {
    for (;;) {
      Socket socket = listening.accept();
      if (!socket.isOpen())
        return;
      uint64_t tag = next++;
      wait.add(socket.fd(), tag, true, false);
      peers[tag].socket = std::move(socket);
    }
  }

  void serve(uint64_t tag) {
    auto found = peers.find(tag);
    if (found == peers.end())
      return;
    Peer& peer = found->second;
    char buffer[65536];
    long got = peer.socket.receive(buffer, sizeof buffer);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
      peers.erase(found);
      return;
    }
    if (got > 0)
      peer.input.append(buffer, static_cast<size_t>(got));
    size_t at = 0;
    for (; peer.input.size() - at >= kTerminalRequestSize; at += kTerminalRequestSize) {
      int32_t kind;
      std::memcpy(&kind, peer.input.data() + at + kRequestKindOffset, sizeof kind);
      peer.output.append(replySize(kind), '\0');
    }
    peer.input.erase(0, at);
    flush(tag, peer);
  }

  void flush(uint64_t tag, Peer& peer) {
    while (!peer.output.empty()) {
      long sent = peer.socket.sendSome(peer.output.data(), peer.output.size());
      if (sent <= 0)
        break;
      peer.output.erase(0, static_cast<size_t>(sent));
    }
    wait.change(peer.socket.fd(), tag, true, !peer.output.empty());
  }
};

MinimalServer::MinimalServer(std::function<size_t(int32_t kind)> replySize)
    : state_(std::make_unique<State>()) {
  state_->replySize = std::move(replySize);
  state_->listening = Socket::ListenTcp("127.0.0.1", 0, 4096, &state_->error);
  port_ = state_->listening.localPort();
  state_->wait.add(state_->listening.fd(), 0);
  thread_ = std::jthread([state = state_.get()](std::stop_token stop) {
    std::stop_callback wake(stop, [state] { state->wait.wake(); });
    std::vector<ReadinessWait::Event> events;
    while (!stop.stop_requested()) {
      state->wait.wait(&events, std::chrono::milliseconds(-1));
      for (const ReadinessWait::Event& event : events) {
        if (event.tag == 0) {
          state->accept();
        } else if (event.readable) {
          state->serve(event.tag);
        } else if (event.writable) {
          auto found = state->peers.find(event.tag);
          if (found != state->peers.end())
            state->flush(event.tag, found->second);
        }
      }
    }
  });
}

MinimalServer::~MinimalServer() {
  thread_.request_stop();
  thread_.join();
}

}  // namespace brenlow
