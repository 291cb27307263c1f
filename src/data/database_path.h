// Where the database lives.
#pragma once

#include <string>

namespace brenlow {

// The earlier system's fixed path, kept so that a Windows build points where it always did.
inline constexpr const char* kDatabasePath = "C:/Program Files (x86)/TavoSever/dbcorvid.mdb";
// The fixed path on Linux.
inline constexpr const char* kLinuxDatabasePath = "/var/lib/brenlow/brenlow.db";

#ifdef _WIN32
inline constexpr const char* kDefaultDatabasePath = kDatabasePath;
#else
inline constexpr const char* kDefaultDatabasePath = kLinuxDatabasePath;
#endif

// The path every operation opens: kDefaultDatabasePath unless the command line (--database)
// or a test replaced it. Thread-safe.
std::string DatabasePath();
void SetDatabasePath(const std::string& path);

}  // namespace brenlow
