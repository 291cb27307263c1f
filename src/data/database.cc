#include "data/database.h"

#include <sqlite3.h>

#include <atomic>
#include <chrono>

#include "core/messages.h"
#include "data/connection.h"
#include "data/database_error.h"

namespace brenlow {
namespace {

constexpr std::string_view kPathPrefix = "Data Source=";

// Whether a failure may be shown now. A missing store fails every statement of every request
// and every minute: once limited, it is said once, then at most once a minute while it stays
// missing.
std::atomic<bool> limitMissing{false};

bool MayShow(const StoreFailure& failure) {
  static std::atomic<int64_t> lastMissingSecond{-61};
  if (!limitMissing.load() || failure.code != SQLITE_CANTOPEN ||
      failure.message.rfind("no such database: ", 0) != 0)
    return true;
  const int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
  int64_t last = lastMissingSecond.load();
  return now - last >= 60 && lastMissingSecond.compare_exchange_strong(last, now);
}

void ShowFailure(const StoreFailure& failure) {
  if (!MayShow(failure))
    return;
  Message message;
  message.text = FailureText(failure.code, failure.message);
  message.icon = MessageIcon::kWarning;
  ShowMessage(message);
}

}  // namespace

void LimitMissingStoreMessages() {
  limitMissing.store(true);
}

Database::Database(const std::string& path) {
  setPath(path);
}

void Database::setPath(const std::string& path) {
  connectionText_ = std::string(kPathPrefix) + path;
}

std::string Database::path() const {
  if (connectionText_.compare(0, kPathPrefix.size(), kPathPrefix) != 0)
    return std::string();
  return connectionText_.substr(kPathPrefix.size());
}

Connection* Database::connection(StoreFailure* failure) {
  // Looked up for every statement: the thread's connection is checked against the file each
  // time, so that an operation as long as the controller listener's life notices a replaced
  // file at its next statement.
  return AcquireConnection(path(), failure);
}

bool Database::open() {
  StoreFailure failure;
  opened_ = true;
  if (connection(&failure) == nullptr) {
    ShowFailure(failure);
    return false;
  }
  return true;
}

bool Database::execute(const Statement& statement) {
  StoreFailure failure;
  if (!opened_) {
    failure.code = kInvalidHandleCode;
    failure.message = "database not open";
    ShowFailure(failure);
    return false;
  }
  // A failed open is tried again: the file may be back. A connection that another thread
  // closed (its file was replaced) is acquired afresh once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    Connection* connection = this->connection(&failure);
    if (connection == nullptr)
      break;
    if (connection->execute(statement, &failure))
      return true;
    if (!connection->closed())
      break;
  }
  ShowFailure(failure);
  return false;
}

RecordSet Database::query(const Statement& statement) {
  StoreFailure failure;
  RecordSet rows;
  for (int attempt = 0; attempt < 2; ++attempt) {
    Connection* connection = this->connection(&failure);
    if (connection == nullptr || connection->query(statement, &rows, &failure) ||
        !connection->closed())
      break;
  }
  return rows;
}

void Database::close() {
  opened_ = false;
}

}  // namespace brenlow
