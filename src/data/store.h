// Store: the database file the program serves, as a value handed to everything that reads or
// writes it.
//
// main (and brenlow-admin) make one from the command line and hand it to the services, the
// listener, the scheduler and the windows through their constructors, as the clock is; nothing
// below them knows a default path, so two stores can live side by side in one process (tests do).
// Each operation takes a Database from it, runs its statements and lets it go:
//
//   Database db = store.database();
//   db.open();
//
// Underneath, each thread keeps one connection per file (data/connection.h). A Store is a
// path: copying it is cheap and any thread may use its own copy or a shared const one.
#pragma once

#include <string>

#include "data/database.h"

namespace brenlow {

class Store {
 public:
  explicit Store(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }
  // A Database on this file, not yet opened. A reader that only queries may leave it unopened:
  // a missing file then shows no box and its queries come back invalid.
  Database database() const { return Database(path_); }

 private:
  std::string path_;
};

}  // namespace brenlow
