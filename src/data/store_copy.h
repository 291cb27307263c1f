// Copies of a live database through SQLite's online backup, safe beside a running server: the
// copy is taken page by page under the store's own locks, so it is consistent, and a restore
// writes into the live file through the same interface, so every connection of the server
// sees the restored data at its next statement and no file is replaced under it (the file
// keeps its identity, owner and mode). A writer holding the store longer than the busy time-out
// makes the copy fail rather than wait for ever. The file copied from (the database of a backup,
// the source of a restore) is only read, and nothing is written beside it, so a backup on
// read-only media restores (read_only_store.h). Any thread; nothing is kept.
#pragma once

#include <string>

namespace brenlow {

// Writes a consistent copy of the database at livePath to copyPath, whole (output_file.h: a new
// file renamed into place, the database's own mode, never onto the database or its companion
// files), replacing a file there only once the copy is complete. False with a readable reason in
// error.
bool BackupStore(const std::string& livePath, const std::string& copyPath, std::string* error);

// Copies the database at sourcePath into the live database at livePath. The source must be a
// Brenlow database (store_check.h: its tables, no triggers or views, no oversized class; checked
// first); before anything is written, the live database is saved under savedCopyName, or
// savedCopyName-2, -3, ... when that exists (a saved copy is never replaced), and the name used
// goes to *savedCopyPath. False with a readable reason in error; the live database is then as it
// was, except when the failure came during the copy itself (error says so, and *savedCopyPath
// holds what it was).
bool RestoreStore(const std::string& sourcePath, const std::string& livePath,
                  const std::string& savedCopyName, std::string* savedCopyPath, std::string* error);

}  // namespace brenlow
