#include "credentials/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/file_kind.h"

namespace brenlow {

std::optional<std::string> NotRegularFileProblem(const std::string& path) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0 || S_ISREG(entry.st_mode))
    return std::nullopt;
  return NotRegularFileText(path, entry.st_mode);
}

RegularFileRead ReadRegularFile(const std::string& path, std::string* contents,
                                std::string* error) {
  struct stat entry {};
  if (::lstat(path.c_str(), &entry) != 0) {
    if (errno == ENOENT)
      return RegularFileRead::kMissing;
    *error = path + ": " + std::strerror(errno);
    return RegularFileRead::kRefused;
  }
  if (!S_ISREG(entry.st_mode)) {
    *error = NotRegularFileText(path, entry.st_mode);
    return RegularFileRead::kRefused;
  }
  // Something else may have been put there since: the open neither follows a link nor waits
  // on a FIFO, and what it opened is checked again.
  int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *error =
        errno == ELOOP ? NotRegularFileText(path, S_IFLNK) : path + ": " + std::strerror(errno);
    return RegularFileRead::kRefused;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
    *error = NotRegularFileText(path, opened.st_mode);
    ::close(fd);
    return RegularFileRead::kRefused;
  }
  contents->clear();
  char buffer[4096];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0) {
      *error = path + ": " + std::strerror(errno);
      ::close(fd);
      return RegularFileRead::kRefused;
    }
    if (got == 0)
      break;
    contents->append(buffer, static_cast<size_t>(got));
  }
  ::close(fd);
  return RegularFileRead::kRead;
}

}  // namespace brenlow
