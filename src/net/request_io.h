// Receiving a request and sending its reply on a registered connection, the same way for both
// terminal ports.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "net/connection_registry.h"

namespace brenlow {

// One receive of at most capacity bytes, without waiting. Returns the bytes that arrived.
// Returns nullopt when there is nothing to serve: the peer closed the connection or the
// receive failed (the connection is then removed from registry and closed), or nothing was
// there after all (the connection stays).
std::optional<std::string> ReceiveRequest(ConnectionRegistry& registry,
                                          ConnectionRegistry::Handle handle, size_t capacity);

// The reply to one request: its records are collected while the request is served and sent
// whole at its end, in one piece, so that a terminal receives every record that was produced
// even when a later read fails.
class Reply {
 public:
  void append(std::string_view bytes) { bytes_.append(bytes); }
  // The collected bytes, for records that write themselves at the end.
  std::string* buffer() { return &bytes_; }
  bool empty() const { return bytes_.empty(); }
  const std::string& bytes() const { return bytes_; }

  // Sends what was collected (nothing when empty). A peer that does not take it within
  // kReplyTimeout (or before the loop is asked to stop), or that failed, is removed from
  // registry (and closed); returns false then.
  bool send(ConnectionRegistry& registry, ConnectionRegistry::Handle handle) const;

 private:
  std::string bytes_;
};

}  // namespace brenlow
