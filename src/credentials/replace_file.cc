#include "credentials/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "credentials/regular_file.h"

namespace brenlow {
namespace {

bool Fail(std::string* error, const std::string& path, int number) {
  if (error != nullptr)
    *error = path + ": " + std::strerror(number);
  return false;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    ssize_t written = ::write(fd, contents.data(), contents.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    contents.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

bool ReplaceFileWhole(const std::string& path, std::string_view contents, std::string* error) {
  // Only a regular file is replaced: a link put in its place is refused, never followed (the
  // rename would replace the link itself, but the caller meant the file it names), and so is a
  // device or a FIFO, which a rename would turn into a regular file.
  if (std::optional<std::string> problem = NotRegularFileProblem(path)) {
    if (error != nullptr)
      *error = *problem;
    return false;
  }
  const std::string& target = path;

  std::string temporaryName = target + ".XXXXXX";
  std::vector<char> name(temporaryName.begin(), temporaryName.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0)
    return Fail(error, FolderOf(target), errno);
  temporaryName = name.data();
  // mkostemp makes the file 0600; the group must be able to replace it in turn. fchmod is not
  // limited by the umask.
  bool written = ::fchmod(fd, kReplacedFileMode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
  int writeError = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    ::unlink(temporaryName.c_str());
    return Fail(error, target, writeError);
  }
  if (::rename(temporaryName.c_str(), target.c_str()) != 0) {
    int renameError = errno;
    ::unlink(temporaryName.c_str());
    return Fail(error, target, renameError);
  }
  // The rename itself reaches the disk with the folder.
  if (int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

}  // namespace brenlow
