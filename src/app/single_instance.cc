#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace brenlow {

SingleInstance::~SingleInstance() {
  if (fd_ >= 0)
    ::close(fd_);
}

bool SingleInstance::acquire() {
  if (fd_ >= 0)
    return true;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // A leading zero byte puts the name in the abstract namespace.
  size_t length = std::strlen(kSingleInstanceName);
  std::memcpy(address.sun_path + 1, kSingleInstanceName, length);
  socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

}  // namespace brenlow
