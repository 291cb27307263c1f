// The tables a Brenlow database holds beside the five the terminals, controllers and dialogs
// were built on: the school calendar, one-day changes, events and the like. The five never
// change shape; what the server learns beyond them lives in tables of its own.
//
// `brenlow --init-database` creates every added table with the five. A database made before a
// table was added gains it the first time a process opens the file (any connection, the server,
// the desktop program or brenlow-admin), without touching the five tables' rows. A file that
// cannot be written (a backup on read-only media) is read as it is: a reader of an added table
// takes a missing table as an empty one.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace brenlow {

struct AddedTable {
  const char* name;
  // The statements that create the table and its indexes, as one script; each begins with
  // "CREATE TABLE"/"CREATE INDEX" (no IF NOT EXISTS: a table is created only when missing).
  const char* createSql;
  // The columns the system reads and writes, in the table's order (the schema check wants them).
  std::vector<const char*> columns;
};

// In the order they were added to the system.
const std::vector<AddedTable>& AddedTables();

// Creates, in one transaction, every added table handle's file lacks. Returns true when all are
// there afterwards; false with error filled (the file is left as it was) otherwise.
bool AddMissingTables(sqlite3* handle, std::string* error);

}  // namespace brenlow
