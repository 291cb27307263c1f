// Creating a new database file with the system's five tables. The program never creates the
// file otherwise: every operation opens an existing one.
#pragma once

#include <sqlite3.h>

#include <string>

namespace brenlow {

// Creates the file at path with the schema, in WAL mode. Refuses a path where anything exists
// (the file stays untouched). On failure returns false with a readable reason in error and
// leaves no file behind.
bool CreateDatabase(const std::string& path, std::string* error);

// Creates the five tables, their indexes and every added table in handle's empty database (the
// journal mode set too, where the file allows it). False with a reason in error.
bool CreateTables(sqlite3* handle, std::string* error);

}  // namespace brenlow
