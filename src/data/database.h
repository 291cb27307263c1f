// Database: the one wrapper through which every part reads and writes the store.
//
// Each operation of a caller (a dialog action, one request, one datagram, one tick) takes its
// own Database from the Store it was handed (data/store.h), opens it, runs its statements and
// lets it go:
//
//   Database db = store.database();
//   db.open();                      // a failure has been shown; carry on
//   RecordSet rows = db.query(FormatStatement("select ... where Name='%s'", name));
//   while (!rows.isEof()) { rows.fieldText("ID"); rows.moveNext(); }
//
// open() and execute() show the store's failure text in a message box (warning icon, the
// application's title) and return false. query() returns an invalid RecordSet silently; it
// does not depend on open() having succeeded. Nothing here throws but RecordSet's reads.
// A Database belongs to one thread and one operation; never keep one in a member or global.
#pragma once

#include <cstdint>
#include <string>

#include "data/database_error.h"
#include "data/record_set.h"
#include "data/statement.h"

namespace brenlow {

class Connection;
struct StoreFailure;

class Database {
 public:
  // Names no file yet: setPath() names it. Store::database() gives one on the store's file.
  Database() = default;
  explicit Database(const std::string& path);
  ~Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  void setPath(const std::string& path);
  bool open();
  bool execute(const Statement& statement);
  RecordSet query(const Statement& statement);
  void close();

  const std::string& connectionText() const { return connectionText_; }

 private:
  std::string path() const;
  Connection* connection(StoreFailure* failure);

  std::string connectionText_;
  // open() was called (whether or not it succeeded): statements may run.
  bool opened_ = false;
};

// From now on a missing store file is reported once, then at most once a minute while it stays
// missing (the headless server's log, where each request would add a line). Any thread.
void LimitMissingStoreMessages();

}  // namespace brenlow
