#include "data/database_path.h"

#include <mutex>

namespace brenlow {
namespace {

std::mutex pathMutex;
std::string overridePath;  // guarded by pathMutex; empty: the default

}  // namespace

std::string DatabasePath() {
  std::lock_guard lock(pathMutex);
  return overridePath.empty() ? kDefaultDatabasePath : overridePath;
}

void SetDatabasePath(const std::string& path) {
  std::lock_guard lock(pathMutex);
  overridePath = path;
}

}  // namespace brenlow
