#include "net/connection_registry.h"

namespace brenlow {

size_t ConnectionRegistry::countFrom(const std::string& peer) const {
  auto found = perPeer_.find(peer);
  return found == perPeer_.end() ? 0 : found->second;
}

ConnectionRegistry::Handle ConnectionRegistry::add(Socket connection, std::string peer) {
  Handle handle = next_++;
  ++perPeer_[peer];
  Entry& entry = connections_[handle];
  entry.socket = std::move(connection);
  entry.peer = std::move(peer);
  entry.activity_ = activity_.insert(activity_.end(), handle);
  return handle;
}

ConnectionRegistry::Entry* ConnectionRegistry::find(Handle handle) {
  auto found = connections_.find(handle);
  return found == connections_.end() ? nullptr : &found->second;
}

void ConnectionRegistry::remove(Handle handle) {
  auto found = connections_.find(handle);
  if (found == connections_.end())
    return;
  auto peer = perPeer_.find(found->second.peer);
  if (peer != perPeer_.end() && --peer->second == 0)
    perPeer_.erase(peer);
  activity_.erase(found->second.activity_);
  connections_.erase(found);
}

std::vector<ConnectionRegistry::Handle> ConnectionRegistry::handles() const {
  std::vector<Handle> result;
  result.reserve(connections_.size());
  for (const auto& entry : connections_)
    result.push_back(entry.first);
  return result;
}

void ConnectionRegistry::touch(Handle handle) {
  Entry* entry = find(handle);
  if (entry != nullptr)
    activity_.splice(activity_.end(), activity_, entry->activity_);
}

ConnectionRegistry::Handle ConnectionRegistry::idleLongest() const {
  return activity_.empty() ? 0 : activity_.front();
}

}  // namespace brenlow
