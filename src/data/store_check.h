// Checking that a file is a Brenlow database and that it is sound: its tables exactly as
// brenlow --init-database makes them (store_shape.h: names, columns, types, the key column; an
// added table may be missing), no triggers and no views, no class larger than a terminal shows
// (7 periods a weekday, 7 course rows), and SQLite's integrity check. Extra tables and indexes
// are allowed. Any thread; each call opens its own connection (read-only) and closes it.
#pragma once

#include <string>
#include <vector>

namespace brenlow {

struct StoreCheck {
  // False when the file could not be opened or read as an SQLite database at all.
  bool opened = false;
  // True when not even the file's first bytes could be read as a database (missing, no
  // permission, a companion file that cannot be made): problems then says why, and the file is
  // not called "not a Brenlow database".
  bool unreadable = false;
  // What is wrong, one finding per entry; empty when the file is sound and complete.
  std::vector<std::string> problems;

  bool ok() const { return opened && problems.empty(); }
};

// Everything but the integrity check (quick: what a restore checks before it copies).
StoreCheck CheckStoreSchema(const std::string& path);

// The schema and SQLite's integrity check of every page.
StoreCheck CheckStore(const std::string& path);

}  // namespace brenlow
