// The system-wide single-instance lock "OstraTavoServer": an abstract local socket name, which
// the kernel releases when the process ends however it ends (no stale lock file).
#pragma once

namespace brenlow {

inline constexpr const char* kSingleInstanceName = "OstraTavoServer";

class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process now holds the lock; false when another process holds it.
  bool acquire();

 private:
  int fd_ = -1;
};

}  // namespace brenlow
