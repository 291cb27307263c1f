// Checking that a file is a Brenlow database and that it is sound: SQLite's integrity check and a
// comparison of its tables and columns with the ones the system reads and writes. Extra tables,
// columns or indexes are allowed; a missing one is a problem. Any thread; each call opens its
// own connection (read-only) and closes it.
#pragma once

#include <string>
#include <vector>

namespace brenlow {

struct StoreCheck {
  // False when the file could not be opened or read as an SQLite database at all.
  bool opened = false;
  // What is wrong, one finding per entry; empty when the file is sound and complete.
  std::vector<std::string> problems;

  bool ok() const { return opened && problems.empty(); }
};

// The tables and columns only (quick: what a restore checks before it copies).
StoreCheck CheckStoreSchema(const std::string& path);

// The schema and SQLite's integrity check of every page.
StoreCheck CheckStore(const std::string& path);

}  // namespace brenlow
