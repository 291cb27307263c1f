// Files the programs write for people: backups, the copies a restore saves, exports. Each is
// written whole: into a new temporary file beside its target, created exclusively (never an
// existing file, never through a link), flushed, then renamed into place, so that a reader or a
// crash sees the old file or the new one and never half of one. It gets the live database's own
// permission bits, further limited by the umask: never wider than the database, which holds
// every class's password. Writing onto the live database or one of its companions (-wal, -shm,
// -journal) is refused, and so is a target that is not a regular file (a link, a device, a
// FIFO, a folder). Any thread; nothing is kept.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "data/store.h"

namespace brenlow {

// Why path may not be written beside the database at livePath; nullopt when it may.
std::optional<std::string> OutputFileProblem(const std::string& path, const std::string& livePath);

// The permission bits of the database at livePath (0660 when it cannot be read); the umask
// limits them further when a file is created.
mode_t OutputFileMode(const std::string& livePath);

// A new temporary file beside a target, removed again (with the companions SQLite may have
// left) unless it was placed.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates "<target>.new-XXXXXX" exclusively with mode (and the umask). False with *error.
  bool create(const std::string& target, mode_t mode, std::string* error);
  int fd() const { return fd_; }
  const std::string& temporaryPath() const { return temporary_; }

  // Flushes the file and renames it onto the target (replacing what is there when replace is
  // true) or, when replace is false, onto the first free name of target, target-2, target-3,
  // ... (never replacing anything). The name used goes to *placed. False with *error.
  bool place(bool replace, std::string* placed, std::string* error);

 private:
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool placed_ = false;
};

// Writes contents to path as described above, next to the store's database file.
// False with *error (the path and the reason); whatever was at path is then unchanged.
bool WriteOutputFile(const Store& store, const std::string& path, std::string_view contents,
                     std::string* error);

}  // namespace brenlow
