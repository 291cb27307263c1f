#include "data/store_check.h"

#include <sqlite3.h>

#include <utility>

#include "data/read_only_store.h"
#include "data/store_shape.h"

namespace brenlow {
namespace {

// One read-only connection (read_only_store.h: nothing is written beside the file), closed
// with its owner.
class ReadConnection {
 public:
  explicit ReadConnection(const std::string& path) : store_(path), error_(store_.error()) {}

  sqlite3* handle() const { return store_.handle(); }
  const std::string& error() const { return error_; }
  bool unreadable() const { return store_.unreadable(); }
  bool unchangedSinceOpen() const { return store_.unchangedSinceOpen(); }

  // The first column of every row of sql as text; false with error() set on failure.
  bool column(const std::string& sql, std::vector<std::string>* values) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(handle());
      return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      values->emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    if (rc != SQLITE_DONE)
      error_ = sqlite3_errmsg(handle());
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
  }

 private:
  ReadOnlyStore store_;
  std::string error_;
};

StoreCheck CheckSchema(ReadConnection& connection) {
  StoreCheck check;
  if (connection.handle() == nullptr) {
    check.unreadable = connection.unreadable();
    check.problems.push_back(connection.error());
    return check;
  }
  std::vector<std::string> names;
  if (!connection.column("select name from sqlite_schema where type='table'", &names)) {
    check.problems.push_back(connection.error());
    return check;
  }
  check.opened = true;
  for (auto* findings : {TableShapeProblems, TriggerAndViewProblems}) {
    for (std::string& problem : findings(connection.handle()))
      check.problems.push_back(std::move(problem));
  }
  // Sizes are read only from tables of the right shape.
  if (check.problems.empty())
    check.problems = ClassSizeProblems(connection.handle());
  return check;
}

// A file read without locks (read_only_store.h) is checked again when a writer changed it
// meanwhile; the last check stands.
constexpr int kCheckTries = 3;

StoreCheck CheckOnce(const std::string& path, bool integrity, bool* unchanged) {
  ReadConnection connection(path);
  StoreCheck check = CheckSchema(connection);
  if (check.opened && integrity) {
    std::vector<std::string> findings;
    if (!connection.column("PRAGMA integrity_check", &findings)) {
      check.problems.push_back("integrity check failed: " + connection.error());
    } else if (findings != std::vector<std::string>{"ok"}) {
      for (std::string& finding : findings)
        check.problems.push_back(std::move(finding));
    }
  }
  *unchanged = connection.unchangedSinceOpen();
  return check;
}

StoreCheck CheckRepeatedly(const std::string& path, bool integrity) {
  StoreCheck check;
  bool unchanged = false;
  for (int tries = 0; tries < kCheckTries && !unchanged; ++tries)
    check = CheckOnce(path, integrity, &unchanged);
  return check;
}

}  // namespace

StoreCheck CheckStoreSchema(const std::string& path) {
  return CheckRepeatedly(path, false);
}

StoreCheck CheckStore(const std::string& path) {
  return CheckRepeatedly(path, true);
}

}  // namespace brenlow
