#include "net/request_io.h"

#include <cerrno>

#include "net/ports.h"

namespace brenlow {

std::optional<std::string> ReceiveRequest(ConnectionRegistry& registry,
                                          ConnectionRegistry::Handle handle, size_t capacity) {
  const Socket* connection = registry.find(handle);
  if (connection == nullptr)
    return std::nullopt;
  std::string bytes(capacity, '\0');
  long received = connection->receive(bytes.data(), capacity);
  if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
    return std::nullopt;
  }
  if (received <= 0) {
    registry.remove(handle);
    return std::nullopt;
  }
  bytes.resize(static_cast<size_t>(received));
  return bytes;
}

bool Reply::send(ConnectionRegistry& registry, ConnectionRegistry::Handle handle) const {
  if (bytes_.empty())
    return true;
  const Socket* connection = registry.find(handle);
  if (connection == nullptr)
    return false;
  if (connection->sendAll(bytes_.data(), bytes_.size(), kReplyTimeout, registry.stopDescriptor()))
    return true;
  registry.remove(handle);
  return false;
}

}  // namespace brenlow
