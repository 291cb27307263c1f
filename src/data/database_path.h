// Where the database lives.
#pragma once

#include <string>

namespace brenlow {

// The fixed path of the store.
inline constexpr const char* kDefaultDatabasePath = "/var/lib/brenlow/brenlow.db";

// The path every operation opens: kDefaultDatabasePath unless the command line (--database)
// or a test replaced it. Thread-safe.
std::string DatabasePath();
void SetDatabasePath(const std::string& path);

}  // namespace brenlow
