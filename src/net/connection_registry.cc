#include "net/connection_registry.h"

namespace brenlow {

ConnectionRegistry::Handle ConnectionRegistry::add(Socket connection) {
  Handle handle = next_++;
  connections_.emplace(handle, std::move(connection));
  return handle;
}

const Socket* ConnectionRegistry::find(Handle handle) const {
  auto found = connections_.find(handle);
  return found == connections_.end() ? nullptr : &found->second;
}

void ConnectionRegistry::remove(Handle handle) {
  connections_.erase(handle);
}

std::vector<ConnectionRegistry::Handle> ConnectionRegistry::handles() const {
  std::vector<Handle> result;
  result.reserve(connections_.size());
  for (const auto& entry : connections_)
    result.push_back(entry.first);
  return result;
}

}  // namespace brenlow
