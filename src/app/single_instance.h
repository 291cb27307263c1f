// The single-instance lock: one copy serves a database. It is an advisory lock (flock) on the
// file "<database>.lock" beside the database, which the kernel releases when the process ends
// however it ends (a stale file holds no lock). Only those who may reach the database's folder
// can open the file and take the lock: for the installed service, the user and the group
// brenlow (the folder is 2770), so no other account can stop the service by taking it first.
// The file holds nothing; it is made 0660, so that the service and every member of the group
// can take it in turn.
#pragma once

#include <string>

namespace brenlow {

// The lock file of the database at databasePath.
std::string SingleInstanceLockPath(const std::string& databasePath);

class SingleInstance {
 public:
  enum class Result {
    kAcquired,  // this process now holds the lock
    kTaken,     // another process holds it
    kFailed,    // the check itself failed (no lock file could be opened); nobody is known to
                // hold it
  };

  explicit SingleInstance(std::string databasePath);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock when it is free. After kFailed, error() says why.
  Result acquire();
  const std::string& error() const { return error_; }

 private:
  std::string lockPath_;
  int fd_ = -1;
  std::string error_;
};

}  // namespace brenlow
