#include "data/store_version.h"

#include "data/connection.h"

namespace brenlow {

std::optional<StoreVersion> ReadStoreVersion(const std::string& path) {
  Status failure;
  Connection* connection = AcquireConnection(path, &failure);
  if (connection == nullptr)
    return std::nullopt;
  StoreVersion version;
  version.thread = std::this_thread::get_id();
  version.connection = connection;
  // Read after acquiring: acquiring may have replaced the connection.
  version.connectionGeneration = ThreadConnectionGeneration();
  if (!connection->readVersion(&version.dataVersion, &version.ownWrites, &failure))
    return std::nullopt;
  return version;
}

}  // namespace brenlow
