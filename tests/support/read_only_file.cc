#include "support/read_only_file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brenlow::testing {
namespace {

// Sets or clears the immutable attribute; empty on success, otherwise why not.
std::string SetImmutable(const std::string& path, bool on) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return std::strerror(errno);
  int flags = 0;
  std::string error;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    error = std::strerror(errno);
  } else {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
      error = std::strerror(errno);
  }
  ::close(fd);
  return error;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(std::string path) : path_(std::move(path)) {
  whyNot_ = SetImmutable(path_, true);
  if (whyNot_.empty()) {
    how_ = How::kImmutable;
  } else if (::geteuid() != 0 && ::chmod(path_.c_str(), 0444) == 0) {
    how_ = How::kNoWritePermission;
  }
}

ReadOnlyFile::~ReadOnlyFile() {
  release();
}

void ReadOnlyFile::release() {
  if (how_ == How::kImmutable)
    SetImmutable(path_, false);
  else if (how_ == How::kNoWritePermission)
    ::chmod(path_.c_str(), 0644);
  how_ = How::kNone;
}

std::string ReadOnlyFile::description() const {
  switch (how_) {
    case How::kImmutable:
      return "immutable attribute";
    case How::kNoWritePermission:
      return "no write permission";
    case How::kNone:
      break;
  }
  return "cannot make " + path_ + " read-only for root: immutable attribute: " + whyNot_;
}

}  // namespace brenlow::testing
