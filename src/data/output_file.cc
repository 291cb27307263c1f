#include "data/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "data/file_kind.h"

namespace brenlow {
namespace {

constexpr mode_t kModeWithoutDatabase = 0660;

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// path with its folder's links resolved (the name itself is kept: a file that does not exist yet
// still has a place).
std::string Placed(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(FolderOf(path).c_str(), resolved) == nullptr)
    return path;
  return std::string(resolved) + "/" + NameOf(path);
}

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string suffix;
  for (int i = 0; i < 6; ++i)
    suffix += kLetters[pick(random)];
  return suffix;
}

bool Fail(std::string* error, const std::string& path, int number) {
  *error = path + ": " + std::strerror(number);
  return false;
}

// rename that never replaces: false with errno EEXIST when to exists.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS)
    return false;
  // A file system without the flag: a hard link fails on an existing name just as well.
  if (::link(from.c_str(), to.c_str()) != 0)
    return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

std::optional<std::string> OutputFileProblem(const std::string& path, const std::string& livePath) {
  struct stat target {};
  struct stat live {};
  if (::stat(livePath.c_str(), &live) == 0 && ::stat(path.c_str(), &target) == 0 &&
      target.st_dev == live.st_dev && target.st_ino == live.st_ino) {
    return path + " is the database itself";
  }
  const std::string placed = Placed(path);
  char resolvedLive[PATH_MAX];
  std::string lives[] = {Placed(livePath),
                         ::realpath(livePath.c_str(), resolvedLive) ? resolvedLive : livePath};
  for (const std::string& base : lives) {
    if (placed == base)
      return path + " is the database itself";
    for (const char* companion : {"-wal", "-shm", "-journal"}) {
      if (placed == base + companion)
        return path + " is the database's " + (companion + 1) + " file";
    }
  }
  if (::lstat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode))
    return NotRegularFileText(path, target.st_mode);
  return std::nullopt;
}

mode_t OutputFileMode(const std::string& livePath) {
  struct stat live {};
  if (::stat(livePath.c_str(), &live) != 0)
    return kModeWithoutDatabase;
  return live.st_mode & 0666;
}

OutputFile::~OutputFile() {
  if (fd_ >= 0)
    ::close(fd_);
  if (!temporary_.empty() && !placed_) {
    for (const char* companion : {"", "-journal", "-wal", "-shm"})
      ::unlink((temporary_ + companion).c_str());
  }
}

bool OutputFile::create(const std::string& target, mode_t mode, std::string* error) {
  target_ = target;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = target + ".new-" + RandomSuffix();
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0) {
      fd_ = fd;
      temporary_ = name;
      return true;
    }
    if (errno != EEXIST)
      return Fail(error, target, errno);
  }
  return Fail(error, target, EEXIST);
}

bool OutputFile::place(bool replace, std::string* placed, std::string* error) {
  // What is at the temporary name must still be the file made here (the folder may be
  // writable by others, who could have swapped it).
  struct stat made {};
  struct stat there {};
  if (::fstat(fd_, &made) != 0 || ::lstat(temporary_.c_str(), &there) != 0 ||
      made.st_dev != there.st_dev || made.st_ino != there.st_ino) {
    *error = temporary_ + ": replaced while it was written";
    return false;
  }
  if (::fsync(fd_) != 0)
    return Fail(error, target_, errno);
  if (replace) {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
      return Fail(error, target_, errno);
    *placed = target_;
  } else {
    for (int number = 1;; ++number) {
      std::string name = number == 1 ? target_ : target_ + "-" + std::to_string(number);
      if (RenameWithoutReplacing(temporary_, name)) {
        *placed = name;
        break;
      }
      if (errno != EEXIST || number >= 1000)
        return Fail(error, name, errno);
    }
  }
  placed_ = true;
  // The rename itself reaches the disk with the folder.
  if (int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

bool WriteOutputFile(const Store& store, const std::string& path, std::string_view contents,
                     std::string* error) {
  const std::string& live = store.path();
  if (std::optional<std::string> problem = OutputFileProblem(path, live)) {
    *error = *problem;
    return false;
  }
  OutputFile file;
  if (!file.create(path, OutputFileMode(live), error))
    return false;
  while (!contents.empty()) {
    ssize_t written = ::write(file.fd(), contents.data(), contents.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written < 0)
      return Fail(error, path, errno);
    contents.remove_prefix(static_cast<size_t>(written));
  }
  std::string placed;
  return file.place(true, &placed, error);
}

}  // namespace brenlow
