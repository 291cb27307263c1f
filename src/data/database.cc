#include "data/database.h"

#include "core/messages.h"
#include "data/connection.h"
#include "data/database_error.h"
#include "data/database_path.h"

namespace brenlow {
namespace {

constexpr std::string_view kPathPrefix = "Data Source=";

void ShowFailure(const StoreFailure& failure) {
  Message message;
  message.text = FailureText(failure.code, failure.message);
  message.icon = MessageIcon::kWarning;
  ShowMessage(message);
}

}  // namespace

Database Database::DefaultStore() {
  // Returned as a new object: a Database is neither copied nor moved.
  return Database(DatabasePath());
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
