// ConnectionRegistry: the open connections of one port, in the order they were accepted.
//
// A connection is identified by its Handle, the number the registry gave it when it was added;
// handles grow with every accept and are never reused, so a handle stays unambiguous after its
// descriptor has been closed and the number reused. Ordering connections by handle is ordering
// them by their place in the registry.
//
// A connection stays until a service removes it (the peer closed, a receive failed, a reply was
// not taken in time); removal closes it. The listening socket is not an entry: it belongs to
// the loop and always comes first.
//
// Thread: one registry belongs to one loop thread; nothing here is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "net/socket.h"

namespace brenlow {

class ConnectionRegistry {
 public:
  using Handle = uint64_t;

  // Connections a registry holds; a connection beyond that is accepted and closed at once.
  static constexpr size_t kMaxConnections = 1024;

  size_t count() const { return connections_.size(); }
  bool isFull() const { return connections_.size() >= kMaxConnections; }

  // Takes the connection and returns its handle (never 0). The registry must not be full.
  Handle add(Socket connection);
  // The connection of handle, or nullptr once it was removed.
  const Socket* find(Handle handle) const;
  // Removes and closes the connection; a handle not (or no longer) registered changes nothing.
  void remove(Handle handle);
  // Every handle in registry order.
  std::vector<Handle> handles() const;

  // A descriptor that turns readable when the loop is asked to stop (-1: none). A reply waiting
  // for a slow peer gives up on it, so that a stopping loop ends at once.
  int stopDescriptor() const { return stopDescriptor_; }
  void setStopDescriptor(int fd) { stopDescriptor_ = fd; }

 private:
  Handle next_ = 1;
  int stopDescriptor_ = -1;
  std::map<Handle, Socket> connections_;
};

}  // namespace brenlow
