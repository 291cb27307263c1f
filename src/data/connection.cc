#include "data/connection.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/messages.h"
#include "data/added_tables.h"
#include "data/busy_wait.h"
#include "data/database_access.h"
#include "data/store_shape.h"
#include "data/store_tables.h"

namespace brenlow {
namespace {

constexpr size_t kPreparedLimit = 64;
constexpr size_t kConnectionsPerThread = 4;

// How many of the five tables the file holds, their names compared as written:
// "select count(*) from sqlite_master where type='table' and name in ('tblbj',...)".
const std::string& BrenlowTablesQuery() {
  static const auto* query = [] {
    std::string names;
    for (const StoreTable& table : StoreTables())
      names += std::string(names.empty() ? "'" : ",'") + table.name + "'";
    return new std::string("select count(*) from sqlite_master where type='table' and name in (" +
                           names + ")");
  }();
  return *query;
}

// A failure with the store's code, of the kind the code says.
Status StoreStatus(uint32_t code, std::string message) {
  Status::Kind kind = Status::Kind::kFailed;
  if ((code & 0xff) == SQLITE_READONLY)
    kind = Status::Kind::kReadOnly;
  else if ((code & 0xff) == SQLITE_NOTADB)
    kind = Status::Kind::kNotBrenlow;
  return Status(kind, code, std::move(message));
}

// A file (or a folder on its way) this user may not open: the path and the group to join when
// access is what stops it, else the system's reason.
Status Forbidden(const std::string& path, int error) {
  if (error == EACCES) {
    if (std::optional<std::string> problem = DatabaseAccessProblem(path))
      return Status(Status::Kind::kForbidden, SQLITE_CANTOPEN, *problem);
  }
  return Status(
      Status::Kind::kFailed, SQLITE_CANTOPEN,
      std::string(sqlite3_errstr(SQLITE_CANTOPEN)) + ": " + path + ": " + std::strerror(error));
}

bool SameFile(const struct stat& info, dev_t device, ino_t inode) {
  return info.st_dev == device && info.st_ino == inode;
}

// Whether handle's file holds the five tables, each as --init-database makes it, and every
// added table it has in its shape (store_shape.h). False with failure filled when it does not,
// or when it cannot be read at all; a busy or locked file is not judged.
bool IsBrenlowDatabase(sqlite3* handle, const std::string& path, Status* failure) {
  sqlite3_stmt* count = nullptr;
  int rc = sqlite3_prepare_v2(handle, BrenlowTablesQuery().c_str(), -1, &count, nullptr);
  int tables = -1;
  if (rc == SQLITE_OK && (rc = sqlite3_step(count)) == SQLITE_ROW)
    tables = sqlite3_column_int(count, 0);
  sqlite3_finalize(count);
  std::vector<std::string> problems;
  if (tables == static_cast<int>(StoreTables().size())) {
    // The five are there; are they what the system's statements need?
    problems = TableShapeProblems(handle);
    if (problems.empty())
      return true;
  }
  int primary = rc & 0xff;
  if (tables >= 0 || primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) {
    *failure =
        StoreStatus(SQLITE_NOTADB, "not a Brenlow database: " + path +
                                       (problems.empty() ? "" : " (" + problems.front() + ")"));
  } else {
    *failure = StoreStatus(static_cast<uint32_t>(sqlite3_extended_errcode(handle)),
                           sqlite3_errmsg(handle));
  }
  return false;
}

}  // namespace

std::string MissingStoreText(const std::string& path) {
  return "no such database: " + path + "; create it with brenlow --init-database " + path;
}

// The process's connections by file: which file (device, inode) each path named when it was
// last opened, and every thread's open connection to it. Connections are opened and closed
// under its lock, so no connection to a new file opens while one to the old file is open.
class OpenFiles {
 public:
  static OpenFiles& instance() {
    static OpenFiles* files = new OpenFiles;  // outlives every thread's connections
    return *files;
  }

  std::unique_ptr<Connection> open(const std::string& path, bool relaxed, Status* failure) {
    std::lock_guard lock(mutex_);
    File& file = files_[path];
    for (;;) {
      struct stat before {};
      if (::stat(path.c_str(), &before) != 0) {
        // A missing file says where it was looked for and how to make one; anything else gets
        // SQLite's own message for a file it cannot open.
        const int error = errno;
        if (error == ENOENT)
          *failure = Status(Status::Kind::kMissing, SQLITE_CANTOPEN, MissingStoreText(path));
        else
          *failure = Forbidden(path, error);
        return nullptr;
      }
      if (file.known && !SameFile(before, file.device, file.inode)) {
        for (Connection* connection : file.connections)
          connection->retire();
        file.connections.clear();
        WriteStderrLine("database file replaced: " + path +
                        "; connections to the old file closed, carrying on with the new one");
        file.tablesAdded = false;
      }
      file.known = true;
      file.device = before.st_dev;
      file.inode = before.st_ino;

      sqlite3* handle = nullptr;
      int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                               nullptr);
      if (rc != SQLITE_OK) {
        // The file is there: one it may not read is this user's to be let into.
        if ((rc & 0xff) == SQLITE_CANTOPEN && ::access(path.c_str(), R_OK) != 0 && errno == EACCES)
          *failure = Forbidden(path, EACCES);
        else
          *failure = StoreStatus(static_cast<uint32_t>(rc),
                                 handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
        sqlite3_close_v2(handle);
        return nullptr;
      }
      sqlite3_extended_result_codes(handle, 1);
      sqlite3_busy_handler(handle, StoreBusyWait, nullptr);
      if (!IsBrenlowDatabase(handle, path, failure)) {
        sqlite3_close_v2(handle);
        return nullptr;
      }
      // A file that may not be written is read as it is; a failed addition is tried again at
      // the next open.
      if (!file.tablesAdded && sqlite3_db_readonly(handle, "main") == 0) {
        std::string ignored;
        file.tablesAdded = AddMissingTables(handle, &ignored);
      }
      struct stat after {};
      if (::stat(path.c_str(), &after) != 0 || !SameFile(after, before.st_dev, before.st_ino)) {
        // Replaced while it was being opened: this handle may be on either file.
        sqlite3_close_v2(handle);
        continue;
      }
      if (relaxed)
        sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
      auto connection =
          std::unique_ptr<Connection>(new Connection(handle, path, before.st_dev, before.st_ino));
      file.connections.push_back(connection.get());
      return connection;
    }
  }

  // Closes a connection that its own thread lets go.
  void close(Connection* connection) {
    std::lock_guard lock(mutex_);
    auto found = files_.find(connection->path_);
    if (found != files_.end())
      std::erase(found->second.connections, connection);
    connection->retire();
  }

 private:
  struct File {
    bool known = false;
    dev_t device = 0;
    ino_t inode = 0;
    bool tablesAdded = false;  // the added tables were found or created in this file
    std::vector<Connection*> connections;
  };
  std::mutex mutex_;
  std::unordered_map<std::string, File> files_;  // guarded by mutex_
};

class ConnectionCache {
 public:
  ~ConnectionCache() { entries_.clear(); }

  uint64_t generation() const { return generation_; }

  Connection* acquire(const std::string& path, Status* failure) {
    auto found = entries_.find(path);
    if (found != entries_.end()) {
      Connection* connection = found->second.get();
      struct stat info {};
      if (::stat(path.c_str(), &info) == 0 &&
          SameFile(info, connection->device_, connection->inode_)) {
        std::lock_guard use(connection->use_);
        // SQLite opens a file it may not write read-only; such a connection is opened afresh
        // at every use, so that writes resume as soon as the file may be written again.
        if (connection->handle_ != nullptr && sqlite3_db_readonly(connection->handle_, "main") != 1)
          return connection;
      }
      entries_.erase(found);
      ++generation_;
    }
    std::unique_ptr<Connection> connection = OpenFiles::instance().open(path, relaxed_, failure);
    if (!connection)
      return nullptr;
    if (entries_.size() >= kConnectionsPerThread) {
      entries_.erase(entries_.begin());
      ++generation_;
    }
    Connection* result = connection.get();
    entries_[path] = std::move(connection);
    return result;
  }

  void releaseAll() {
    entries_.clear();
    ++generation_;
  }

  void relax() {
    relaxed_ = true;
    for (auto& entry : entries_) {
      std::lock_guard use(entry.second->use_);
      if (entry.second->handle_ != nullptr)
        sqlite3_exec(entry.second->handle_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    }
  }

 private:
  std::unordered_map<std::string, std::unique_ptr<Connection>> entries_;
  bool relaxed_ = false;
  uint64_t generation_ = 0;  // counts closed connections
};

namespace {
thread_local ConnectionCache threadConnections;
thread_local uint64_t threadFailures = 0;
}  // namespace

Connection::Connection(sqlite3* handle, std::string path, dev_t device, ino_t inode)
    : handle_(handle), path_(std::move(path)), device_(device), inode_(inode) {}

Connection::~Connection() {
  OpenFiles::instance().close(this);
}

void Connection::retire() {
  std::lock_guard use(use_);
  if (handle_ == nullptr)
    return;
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 || !SameFile(info, device_, inode_)) {
    // SQLite leaves the journal of a moved file behind, where a connection to the file now at
    // the path would read it as its own: move it into the old file and empty it. A checkpoint
    // is refused inside a transaction, and the owner (a batch between its statements) can no
    // longer commit to the old file anyway, so its transaction is rolled back first.
    if (sqlite3_get_autocommit(handle_) == 0)
      sqlite3_exec(handle_, "ROLLBACK", nullptr, nullptr, nullptr);
    int rc =
        sqlite3_wal_checkpoint_v2(handle_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    if (rc != SQLITE_OK) {
      WriteStderrLine("database file replaced: " + path_ +
                      ": the old file's journal could not be emptied: " + sqlite3_errmsg(handle_));
    }
  }
  for (auto& entry : prepared_)
    sqlite3_finalize(entry.second);
  prepared_.clear();
  sqlite3_finalize(dataVersion_);
  dataVersion_ = nullptr;
  byShape_.clear();
  sqlite3_close_v2(handle_);
  handle_ = nullptr;
  closed_.store(true, std::memory_order_release);
}

void Connection::fail(Status* failure) const {
  ++threadFailures;
  *failure = StoreStatus(static_cast<uint32_t>(sqlite3_extended_errcode(handle_)),
                         sqlite3_errmsg(handle_));
}

sqlite3_stmt* Connection::prepare(const Statement& statement, Status* failure) {
  auto found = byShape_.find(statement.shape());
  if (found != byShape_.end()) {
    prepared_.splice(prepared_.begin(), prepared_, found->second);
    return found->second->second;
  }
  sqlite3_stmt* prepared = nullptr;
  int rc = sqlite3_prepare_v3(handle_, statement.shape().c_str(),
                              static_cast<int>(statement.shape().size()), SQLITE_PREPARE_PERSISTENT,
                              &prepared, nullptr);
  if (rc != SQLITE_OK) {
    fail(failure);
    sqlite3_finalize(prepared);
    return nullptr;
  }
  if (prepared == nullptr) {
    // Only blanks or a comment: nothing to run.
    ++threadFailures;
    *failure = StoreStatus(SQLITE_MISUSE, "not an SQL statement");
    return nullptr;
  }
  if (prepared_.size() >= kPreparedLimit) {
    byShape_.erase(prepared_.back().first);
    sqlite3_finalize(prepared_.back().second);
    prepared_.pop_back();
  }
  prepared_.emplace_front(statement.shape(), prepared);
  byShape_[statement.shape()] = prepared_.begin();
  return prepared;
}

namespace {

bool Bind(sqlite3_stmt* prepared, const Statement& statement) {
  int index = 1;
  for (const Statement::Value& value : statement.values()) {
    int rc;
    if (const auto* text = std::get_if<std::string>(&value)) {
      rc = sqlite3_bind_text(prepared, index, text->data(), static_cast<int>(text->size()),
                             SQLITE_TRANSIENT);
    } else {
      rc = sqlite3_bind_int64(prepared, index, std::get<int64_t>(value));
    }
    if (rc != SQLITE_OK)
      return false;
    ++index;
  }
  return true;
}

void AddColumnValue(sqlite3_stmt* prepared, int column, RecordSet::Builder* builder) {
  switch (sqlite3_column_type(prepared, column)) {
    case SQLITE_NULL:
      builder->addNull();
      return;
    case SQLITE_INTEGER:
      builder->addInteger(sqlite3_column_int64(prepared, column));
      return;
    case SQLITE_FLOAT: {
      // As a variant-to-text conversion writes numbers: 7.0 reads "7".
      char text[64];
      int size = snprintf(text, sizeof text, "%.15g", sqlite3_column_double(prepared, column));
      builder->addText(std::string_view(text, static_cast<size_t>(size)));
      return;
    }
    default: {
      const void* bytes = sqlite3_column_blob(prepared, column);
      int size = sqlite3_column_bytes(prepared, column);
      builder->addText(bytes ? std::string_view(static_cast<const char*>(bytes), size)
                             : std::string_view());
    }
  }
}

}  // namespace

bool Connection::execute(const Statement& statement, Status* failure) {
  std::lock_guard use(use_);
  if (handle_ == nullptr) {
    ++threadFailures;
    *failure = StoreStatus(SQLITE_CANTOPEN, "database file replaced");
    return false;
  }
  ++ownWrites_;  // counted before it runs: a failed write may still have changed rows
  sqlite3_stmt* prepared = prepare(statement, failure);
  if (prepared == nullptr)
    return false;
  bool ok = Bind(prepared, statement);
  int rc = SQLITE_DONE;
  if (ok) {
    while ((rc = sqlite3_step(prepared)) == SQLITE_ROW) {
    }
  }
  if (!ok || rc != SQLITE_DONE) {
    fail(failure);
    sqlite3_reset(prepared);
    sqlite3_clear_bindings(prepared);
    return false;
  }
  sqlite3_reset(prepared);
  sqlite3_clear_bindings(prepared);
  return true;
}

bool Connection::query(const Statement& statement, RecordSet* rows, Status* failure) {
  std::lock_guard use(use_);
  if (handle_ == nullptr) {
    ++threadFailures;
    *failure = StoreStatus(SQLITE_CANTOPEN, "database file replaced");
    return false;
  }
  sqlite3_stmt* prepared = prepare(statement, failure);
  if (prepared == nullptr)
    return false;
  if (sqlite3_stmt_readonly(prepared) == 0)
    ++ownWrites_;
  if (!Bind(prepared, statement)) {
    fail(failure);
    sqlite3_clear_bindings(prepared);
    return false;
  }
  int columnCount = sqlite3_column_count(prepared);
  std::vector<std::string> columns;
  columns.reserve(columnCount);
  for (int i = 0; i < columnCount; ++i) {
    const char* name = sqlite3_column_name(prepared, i);
    columns.emplace_back(name ? name : "");
  }
  RecordSet::Builder taken(std::move(columns));
  int rc;
  while ((rc = sqlite3_step(prepared)) == SQLITE_ROW) {
    for (int i = 0; i < columnCount; ++i) {
      AddColumnValue(prepared, i, &taken);
    }
  }
  bool ok = rc == SQLITE_DONE;
  if (!ok)
    fail(failure);
  sqlite3_reset(prepared);
  sqlite3_clear_bindings(prepared);
  if (ok)
    *rows = taken.finish();
  return ok;
}

bool Connection::readVersion(int64_t* dataVersion, uint64_t* ownWrites, Status* failure) {
  std::lock_guard use(use_);
  if (handle_ == nullptr) {
    ++threadFailures;
    *failure = StoreStatus(SQLITE_CANTOPEN, "database file replaced");
    return false;
  }
  if (dataVersion_ == nullptr &&
      sqlite3_prepare_v3(handle_, "PRAGMA data_version", -1, SQLITE_PREPARE_PERSISTENT,
                         &dataVersion_, nullptr) != SQLITE_OK) {
    fail(failure);
    sqlite3_finalize(dataVersion_);
    dataVersion_ = nullptr;
    return false;
  }
  bool ok = sqlite3_step(dataVersion_) == SQLITE_ROW;
  if (ok)
    *dataVersion = sqlite3_column_int64(dataVersion_, 0);
  else
    fail(failure);
  sqlite3_reset(dataVersion_);
  *ownWrites = ownWrites_;
  return ok;
}

Connection* AcquireConnection(const std::string& path, Status* failure) {
  Connection* connection = threadConnections.acquire(path, failure);
  if (connection == nullptr)
    ++threadFailures;
  return connection;
}

uint64_t ThreadStoreFailureCount() {
  return threadFailures;
}

void ReleaseThreadConnections() {
  threadConnections.releaseAll();
}

uint64_t ThreadConnectionGeneration() {
  return threadConnections.generation();
}

void UseRelaxedDurabilityOnThisThread() {
  threadConnections.relax();
}

}  // namespace brenlow
