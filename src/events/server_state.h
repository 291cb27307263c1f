// What the server keeps about itself across restarts, in tbl_server_state (one text per name):
// when it last started and the last minute its scheduler acted on. Reads and writes go straight
// to a connection of the calling thread and never show a message: the callers (start-up, the
// minute tick, the shell) say what a failure means for them. Any thread.
#pragma once

#include <optional>
#include <string>

namespace brenlow {

// The time the server last started (events/event_time.h).
inline constexpr const char* kServerStartedName = "started";
// The last minute the scheduler acted on, "YYYY-MM-DD HH:MM".
inline constexpr const char* kLastActedMinuteName = "last_acted_minute";

// Writes name's value in the store at databasePath. False with why in error on failure.
bool WriteServerState(const std::string& databasePath, const std::string& name,
                      const std::string& value, std::string* error);

// The value of name; nullopt when none is kept or the store (or its table) cannot be read.
std::optional<std::string> ReadServerState(const std::string& databasePath,
                                           const std::string& name);

}  // namespace brenlow
