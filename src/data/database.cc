#include "data/database.h"

#include "core/messages.h"
#include "data/connection.h"
#include "data/database_error.h"

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

void Database::setPath(const std::string& path) {
  connectionText_ = std::string(kPathPrefix) + path;
  connection_ = nullptr;
}

std::string Database::path() const {
  if (connectionText_.compare(0, kPathPrefix.size(), kPathPrefix) != 0)
    return std::string();
  return connectionText_.substr(kPathPrefix.size());
}

Connection* Database::connection(StoreFailure* failure) {
  if (connection_ == nullptr || connectionGeneration_ != ThreadConnectionGeneration()) {
    connection_ = AcquireConnection(path(), failure);
    connectionGeneration_ = ThreadConnectionGeneration();
  }
  return connection_;
}

bool Database::open() {
  StoreFailure failure;
  connection_ = nullptr;  // open() always looks at the file afresh
  if (connection(&failure) == nullptr) {
    ShowFailure(failure);
    return false;
  }
  open_ = true;
  return true;
}

bool Database::execute(const Statement& statement) {
  StoreFailure failure;
  if (!open_) {
    failure.code = kInvalidHandleCode;
    failure.message = "database not open";
    ShowFailure(failure);
    return false;
  }
  Connection* connection = this->connection(&failure);
  if (connection == nullptr || !connection->execute(statement, &failure)) {
    ShowFailure(failure);
    return false;
  }
  return true;
}

RecordSet Database::query(const Statement& statement) {
  StoreFailure failure;
  Connection* connection = this->connection(&failure);
  RecordSet rows;
  if (connection != nullptr) {
    connection->query(statement, &rows, &failure);
  }
  return rows;
}

void Database::close() {
  open_ = false;
  connection_ = nullptr;
}

}  // namespace brenlow
