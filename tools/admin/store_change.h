// How a brenlow-admin command changes the store: open it, run the change, say what went wrong in
// one line naming the database. A change that writes several rows runs them in one
// transaction, so that a refusal or a failed statement half-way leaves nothing written.
#pragma once

#include <functional>
#include <string>

#include "commands.h"
#include "data/database.h"

namespace brenlow::admin {

// "<database path>: cannot be read as a Brenlow database".
std::string CannotRead(const Store& store);

// Why the database cannot be used at all, naming its path, or empty: it does not exist (and how
// to create it), or this user may not read and write it (and the group to join); for a command
// that only reads it (readsOnly: check, backup), may not read it. Asked before any command, so
// that neither is reported as "not a Brenlow database".
std::string StoreUnusable(const Store& store, bool readsOnly);

// What the store reported about a failed statement; never empty, so a failure is never read as
// success.
std::string StoreFailure(Commands& commands);

// Opens the store and runs change on it: change returns an empty text when it is done and the
// refusal otherwise. A store that cannot be opened or read refuses the command as well.
int ChangeStore(Commands& commands, const std::string& where,
                const std::function<std::string(Database&)>& change);

// Runs change between BEGIN IMMEDIATE and COMMIT; a refusal (non-empty text) rolls back.
std::string InTransaction(Commands& commands, Database& db,
                          const std::function<std::string()>& change);

}  // namespace brenlow::admin
