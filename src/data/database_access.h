// Whether this user may use the database file at all. The installed database is 0660 in a
// folder of the group brenlow: a desktop program started by someone outside that group would
// otherwise fail at every statement with the store's bare "unable to open database file".
// Asking once, up front, gives one message that names the file and the group to join.
#pragma once

#include <optional>
#include <string>

namespace brenlow {

// The message for a user who may not read and write the database at path (or cannot reach it
// through its folder), naming the file and the group that owns it; nullopt when access is
// allowed or the file does not exist (a missing database is reported where it is opened).
std::optional<std::string> DatabaseAccessProblem(const std::string& path);

}  // namespace brenlow
