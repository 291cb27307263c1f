#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brenlow {
namespace {

constexpr mode_t kLockFileMode = 0660;

// Opens the lock file, making it when it is missing. Never follows a link put in its place and
// never waits on a FIFO; reading is all flock needs, so a file another member made with a
// narrower mode still serves as long as the group may read it.
int OpenLockFile(const std::string& path, std::string* error) {
  const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, kLockFileMode);
  if (fd >= 0) {
    // Not limited by the umask: the next copy may run as another member of the group.
    ::fchmod(fd, kLockFileMode);
  } else if (errno == EEXIST) {
    fd = ::open(path.c_str(), flags);
  }
  if (fd < 0) {
    *error = path + ": " + (errno == ELOOP ? "a symbolic link" : std::strerror(errno));
    return -1;
  }
  struct stat file {};
  if (::fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
    *error = path + ": not a regular file";
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::string SingleInstanceLockPath(const std::string& databasePath) {
  return databasePath + ".lock";
}

SingleInstance::SingleInstance(std::string databasePath)
    : lockPath_(SingleInstanceLockPath(databasePath)) {}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0)
    ::close(fd_);
}

SingleInstance::Result SingleInstance::acquire() {
  if (fd_ >= 0)
    return Result::kAcquired;
  int fd = OpenLockFile(lockPath_, &error_);
  if (fd < 0)
    return Result::kFailed;
  int rc;
  while ((rc = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (rc != 0) {
    int lockError = errno;
    ::close(fd);
    // Only a lock held elsewhere means another copy: any other failure says nothing about one.
    if (lockError == EWOULDBLOCK)
      return Result::kTaken;
    error_ = lockPath_ + ": " + std::strerror(lockError);
    return Result::kFailed;
  }
  fd_ = fd;
  return Result::kAcquired;
}

}  // namespace brenlow
