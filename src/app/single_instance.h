// The system-wide single-instance lock "OstraTavoServer": an abstract local socket name, which
// the kernel releases when the process ends however it ends (no stale lock file). Abstract names
// belong to the network namespace: copies in different namespaces do not see each other.
#pragma once

#include <string>

namespace brenlow {

inline constexpr const char* kSingleInstanceName = "OstraTavoServer";

class SingleInstance {
 public:
  enum class Result {
    kAcquired,  // this process now holds the lock
    kTaken,     // another process holds it
    kFailed,    // the check itself failed (no socket, say); nobody is known to hold it
  };

  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock when it is free. After kFailed, error() says why.
  Result acquire();
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string error_;
};

}  // namespace brenlow
