#include "data/connection.h"

#include <sys/stat.h>

#include <cstring>
#include <vector>

#include "data/busy_wait.h"

namespace brenlow {
namespace {

constexpr size_t kPreparedLimit = 64;
constexpr size_t kConnectionsPerThread = 4;

}  // namespace

class ConnectionCache {
 public:
  ~ConnectionCache() { entries_.clear(); }

  uint64_t generation() const { return generation_; }

  Connection* acquire(const std::string& path, StoreFailure* failure) {
    struct stat info {};
    bool exists = ::stat(path.c_str(), &info) == 0;
    auto found = entries_.find(path);
    if (found != entries_.end()) {
      Connection* connection = found->second.get();
      // SQLite opens a file it may not write read-only; such a connection is opened afresh at
      // every use, so that writes resume as soon as the file may be written again.
      if (exists && connection->device_ == info.st_dev && connection->inode_ == info.st_ino &&
          sqlite3_db_readonly(connection->handle_, "main") != 1) {
        return connection;
      }
      entries_.erase(found);
      ++generation_;
    }
    if (!exists) {
      // SQLite's own message for a file it cannot open.
      failure->code = SQLITE_CANTOPEN;
      failure->message = sqlite3_errstr(SQLITE_CANTOPEN);
      return nullptr;
    }
    sqlite3* handle = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                             nullptr);
    if (rc != SQLITE_OK) {
      failure->code = static_cast<uint32_t>(rc);
      failure->message = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
      sqlite3_close_v2(handle);
      return nullptr;
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_handler(handle, StoreBusyWait, nullptr);
    if (relaxed_) {
      sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    }
    if (entries_.size() >= kConnectionsPerThread) {
      entries_.erase(entries_.begin());
      ++generation_;
    }
    auto connection = std::unique_ptr<Connection>(new Connection(handle, info.st_dev, info.st_ino));
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
}  // namespace

Connection::Connection(sqlite3* handle, dev_t device, ino_t inode)
    : handle_(handle), device_(device), inode_(inode) {}

Connection::~Connection() {
  for (auto& entry : prepared_) {
    sqlite3_finalize(entry.second);
  }
  sqlite3_close_v2(handle_);
}

void Connection::fail(StoreFailure* failure) const {
  failure->code = static_cast<uint32_t>(sqlite3_extended_errcode(handle_));
  failure->message = sqlite3_errmsg(handle_);
}

sqlite3_stmt* Connection::prepare(const Statement& statement, StoreFailure* failure) {
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
    failure->code = SQLITE_MISUSE;
    failure->message = "not an SQL statement";
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

bool Connection::execute(const Statement& statement, StoreFailure* failure) {
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

bool Connection::query(const Statement& statement, RecordSet* rows, StoreFailure* failure) {
  sqlite3_stmt* prepared = prepare(statement, failure);
  if (prepared == nullptr)
    return false;
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

Connection* AcquireConnection(const std::string& path, StoreFailure* failure) {
  return threadConnections.acquire(path, failure);
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
