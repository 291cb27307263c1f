#include "data/store_check.h"

#include <sqlite3.h>

#include <set>
#include <utility>

#include "data/added_tables.h"
#include "data/connection.h"
#include "data/store_tables.h"

namespace brenlow {
namespace {

// One read-only connection, closed with its owner.
class ReadConnection {
 public:
  explicit ReadConnection(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      error_ = handle_ ? sqlite3_errmsg(handle_) : "cannot open";
      sqlite3_close_v2(handle_);
      handle_ = nullptr;
      return;
    }
    sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
  }
  ~ReadConnection() { sqlite3_close_v2(handle_); }
  ReadConnection(const ReadConnection&) = delete;
  ReadConnection& operator=(const ReadConnection&) = delete;

  sqlite3* handle() const { return handle_; }
  const std::string& error() const { return error_; }

  // The first column of every row of sql as text; false with error() set on failure.
  bool column(const std::string& sql, std::vector<std::string>* values) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
      error_ = sqlite3_errmsg(handle_);
      return false;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      values->emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
    if (rc != SQLITE_DONE)
      error_ = sqlite3_errmsg(handle_);
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE;
  }

 private:
  sqlite3* handle_ = nullptr;
  std::string error_;
};

StoreCheck CheckSchema(ReadConnection& connection) {
  StoreCheck check;
  if (connection.handle() == nullptr) {
    check.problems.push_back(connection.error());
    return check;
  }
  std::vector<std::string> names;
  if (!connection.column("select name from sqlite_schema where type='table'", &names)) {
    check.problems.push_back(connection.error());
    return check;
  }
  check.opened = true;
  // The store compares table and column names without regard to case, and so does this.
  auto folded = [](std::string text) {
    for (char& c : text)
      c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
  };
  std::set<std::string> tables;
  for (const std::string& name : names)
    tables.insert(folded(name));
  // The added tables are checked when the file has them: a file made before one was added
  // gains it at its first open for writing, and is sound without it until then.
  std::vector<StoreTable> expected = StoreTables();
  for (const AddedTable& added : AddedTables()) {
    if (tables.count(folded(added.name)) > 0)
      expected.push_back(StoreTable{added.name, added.columns});
  }
  for (const StoreTable& table : expected) {
    if (tables.count(folded(table.name)) == 0) {
      check.problems.push_back(std::string("table ") + table.name + " is missing");
      continue;
    }
    std::vector<std::string> columnNames;
    if (!connection.column(std::string("select name from pragma_table_info('") + table.name + "')",
                           &columnNames)) {
      check.problems.push_back(connection.error());
      continue;
    }
    std::set<std::string> columns;
    for (const std::string& name : columnNames)
      columns.insert(folded(name));
    for (const char* column : table.columns) {
      if (columns.count(folded(column)) == 0)
        check.problems.push_back(std::string("column ") + table.name + "." + column +
                                 " is missing");
    }
  }
  return check;
}

}  // namespace

StoreCheck CheckStoreSchema(const std::string& path) {
  ReadConnection connection(path);
  return CheckSchema(connection);
}

StoreCheck CheckStore(const std::string& path) {
  ReadConnection connection(path);
  StoreCheck check = CheckSchema(connection);
  if (!check.opened)
    return check;
  std::vector<std::string> integrity;
  if (!connection.column("PRAGMA integrity_check", &integrity)) {
    check.problems.push_back("integrity check failed: " + connection.error());
  } else if (integrity != std::vector<std::string>{"ok"}) {
    for (std::string& finding : integrity)
      check.problems.push_back(std::move(finding));
  }
  return check;
}

}  // namespace brenlow
