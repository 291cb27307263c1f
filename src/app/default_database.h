// Where the installed database lives: the file main and brenlow-admin open when the command
// line names no other (--database PATH).
#pragma once

namespace brenlow {

inline constexpr const char* kDefaultDatabasePath = "/var/lib/brenlow/brenlow.db";

}  // namespace brenlow
