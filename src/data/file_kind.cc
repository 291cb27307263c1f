#include "data/file_kind.h"

namespace brenlow {

const char* FileKindText(mode_t mode) {
  if (S_ISLNK(mode))
    return "a symbolic link";
  if (S_ISFIFO(mode))
    return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode))
    return "a device";
  if (S_ISDIR(mode))
    return "a folder";
  if (S_ISSOCK(mode))
    return "a socket";
  return "not a regular file";
}

std::string NotRegularFileText(const std::string& path, mode_t mode) {
  return path + " is " + FileKindText(mode) + ", not a regular file";
}

}  // namespace brenlow
