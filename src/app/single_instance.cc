#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

namespace brenlow {

SingleInstance::~SingleInstance() {
  if (fd_ >= 0)
    ::close(fd_);
}

SingleInstance::Result SingleInstance::acquire() {
  if (fd_ >= 0)
    return Result::kAcquired;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error_ = std::string("socket: ") + std::strerror(errno);
    return Result::kFailed;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // A leading zero byte puts the name in the abstract namespace.
  size_t length = std::strlen(kSingleInstanceName);
  std::memcpy(address.sun_path + 1, kSingleInstanceName, length);
  socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
    int bindError = errno;
    ::close(fd);
    // Only a name in use means another copy: any other failure says nothing about one.
    if (bindError == EADDRINUSE)
      return Result::kTaken;
    error_ = std::string("bind: ") + std::strerror(bindError);
    return Result::kFailed;
  }
  fd_ = fd;
  return Result::kAcquired;
}

}  // namespace brenlow
