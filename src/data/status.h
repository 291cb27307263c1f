// Status: the one result of the store's operations, from a connection up to brenlow-admin's
// commands. It is ok, or it says what kind of failure happened and the store's own text for it.
//
//   Status status = db.execute(statement);
//   if (!status.ok()) ... status.message() ...
//
// The kind tells a caller what the person must do (create the file, join a group, give write
// access, restore a backup); storeCode() keeps the store's code, from which the specified
// message box text is made (FailureText). A Status is a plain value: any thread.
#pragma once

#include <cstdint>
#include <string>

namespace brenlow {

class Status {
 public:
  enum class Kind {
    kOk,
    kMissing,     // the file does not exist
    kForbidden,   // this user may not open it (file mode, or a folder on the way)
    kNotBrenlow,  // a readable file that is not a Brenlow database
    kReadOnly,    // the file may be read but not written
    kFailed,      // the store refused the statement, or another failure
  };

  // Ok.
  Status() = default;
  Status(Kind kind, uint32_t storeCode, std::string message)
      : kind_(kind), storeCode_(storeCode), message_(std::move(message)) {}

  bool ok() const { return kind_ == Kind::kOk; }
  // The tests of the specified true/false results read a Status like a bool.
  explicit operator bool() const { return ok(); }

  Kind kind() const { return kind_; }
  // SQLite's extended result code, or one of database_error.h's codes; 0 when ok.
  uint32_t storeCode() const { return storeCode_; }
  // The store's text for the failure (never empty for a failure); empty when ok.
  const std::string& message() const { return message_; }

 private:
  Kind kind_ = Kind::kOk;
  uint32_t storeCode_ = 0;
  std::string message_;
};

}  // namespace brenlow
