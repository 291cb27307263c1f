// ConnectionRegistry: the open connections of one port, in the order they were accepted, each
// with its peer's address, the bytes it sent that are not carried out yet and the replies not
// yet written to it.
//
// A connection is identified by its Handle, the number the registry gave it when it was added;
// handles grow with every accept and are never reused, so a handle stays unambiguous after its
// descriptor has been closed and the number reused. Ordering connections by handle is ordering
// them by their place in the registry.
//
// The registry also knows how many connections each peer address holds and which connection has
// been idle longest (no byte received from it or written to it), so that its loop can share the
// port fairly between addresses and make room when it is full. Removal closes the connection.
// The listening socket is not an entry: it belongs to the loop and always comes first.
//
// Thread: one registry belongs to one loop thread; nothing here is locked.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "net/socket.h"

namespace brenlow {

class ConnectionRegistry {
 public:
  using Handle = uint64_t;
  using TimePoint = std::chrono::steady_clock::time_point;  // of the loop's monotonic clock

  struct Entry {
    Socket socket;
    std::string peer;    // dotted IPv4 address of the peer
    std::string input;   // received and not yet carried out
    std::string output;  // replies not yet written, from outputStart on
    size_t outputStart = 0;
    // When the output last moved (or became pending): a queue that stays still is stalled.
    TimePoint outputMoved;
    bool mayHoldRequest = false;  // input may start with a complete request
    bool peerClosed = false;      // nothing more comes; dropped once its output is written
    bool watchRead = true;        // what the loop's readiness wait watches for it
    bool watchWrite = false;

    size_t pendingOutput() const { return output.size() - outputStart; }

   private:
    friend class ConnectionRegistry;
    std::list<Handle>::iterator activity_;
  };

  // Connections a registry holds by default.
  static constexpr size_t kMaxConnections = 1024;

  explicit ConnectionRegistry(size_t capacity = kMaxConnections) : capacity_(capacity) {}

  size_t count() const { return connections_.size(); }
  size_t capacity() const { return capacity_; }
  bool isFull() const { return connections_.size() >= capacity_; }
  // Connections held by peer address.
  size_t countFrom(const std::string& peer) const;

  // Takes the connection and returns its handle (never 0). The registry must not be full.
  Handle add(Socket connection, std::string peer);
  // The connection of handle, or nullptr once it was removed.
  Entry* find(Handle handle);
  // Removes and closes the connection; a handle not (or no longer) registered changes nothing.
  void remove(Handle handle);
  // Every handle in registry order.
  std::vector<Handle> handles() const;

  // The connection moved bytes now: it becomes the one idle shortest.
  void touch(Handle handle);
  // The connection idle longest; 0 when there is none.
  Handle idleLongest() const;

 private:
  size_t capacity_;
  Handle next_ = 1;
  std::map<Handle, Entry> connections_;
  std::unordered_map<std::string, size_t> perPeer_;
  std::list<Handle> activity_;  // idle longest first
};

}  // namespace brenlow
