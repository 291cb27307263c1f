#include "data/store_copy.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "data/added_tables.h"
#include "data/connection.h"
#include "data/output_file.h"
#include "data/read_only_store.h"
#include "data/store_check.h"

namespace brenlow {
namespace {

// One connection, closed with its owner.
class Handle {
 public:
  Handle(const std::string& path, int flags) {
    if (sqlite3_open_v2(path.c_str(), &handle_, flags, nullptr) != SQLITE_OK) {
      error_ = path + ": " + (handle_ ? sqlite3_errmsg(handle_) : "cannot open");
      sqlite3_close_v2(handle_);
      handle_ = nullptr;
      return;
    }
    sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
  }
  ~Handle() { sqlite3_close_v2(handle_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  sqlite3* get() const { return handle_; }
  const std::string& error() const { return error_; }

 private:
  sqlite3* handle_ = nullptr;
  std::string error_;
};

// Copies every page of from's main database into to's. Busy and locked steps are retried for
// the busy time-out (the step itself only waits on the destination's busy handler).
bool CopyPages(sqlite3* to, sqlite3* from, std::string* error) {
  sqlite3_backup* backup = sqlite3_backup_init(to, "main", from, "main");
  if (backup == nullptr) {
    *error = sqlite3_errmsg(to);
    return false;
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
  int rc;
  while ((rc = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED ||
         rc == SQLITE_OK) {
    if (rc != SQLITE_OK && std::chrono::steady_clock::now() > deadline)
      break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) {
    *error = sqlite3_errstr(rc);
    if (rc == SQLITE_READONLY)
      *error += " (the two files may differ in page size)";
    return false;
  }
  return true;
}

// Which side a failed copy failed on.
enum class CopyFault { kNone, kSource, kDestination };

// A file read without locks (read_only_store.h) is read again when a writer changed it
// meanwhile; it fails after this many reads.
constexpr int kReadTries = 3;

// Copies every page of the database at sourcePath into to, reading it again when it changed
// while it was read. A failure says why in error: a source fault names sourcePath, a
// destination fault gives SQLite's reason alone.
CopyFault CopyPagesFrom(sqlite3* to, const std::string& sourcePath, std::string* error) {
  for (int read = 0; read < kReadTries; ++read) {
    ReadOnlyStore source(sourcePath);
    if (source.handle() == nullptr) {
      *error = sourcePath + ": " + source.error();
      return CopyFault::kSource;
    }
    if (!CopyPages(to, source.handle(), error))
      return CopyFault::kDestination;
    if (source.unchangedSinceOpen())
      return CopyFault::kNone;
  }
  *error = sourcePath + ": changed by a writer each time it was read; try again";
  return CopyFault::kSource;
}

// Copies the database at livePath into a new file beside copyPath (output_file.h) and places it
// there, replacing a file at copyPath only when replace is true (otherwise under the first free
// name, in *placed).
bool CopyStoreTo(const std::string& livePath, const std::string& copyPath, bool replace,
                 std::string* placed, std::string* error) {
  if (::access(livePath.c_str(), F_OK) != 0) {
    *error = livePath + ": " + std::strerror(errno);
    return false;
  }
  if (std::optional<std::string> problem = OutputFileProblem(copyPath, livePath)) {
    *error = *problem;
    return false;
  }
  OutputFile file;
  if (!file.create(copyPath, OutputFileMode(livePath), error))
    return false;
  {
    // The empty file made above is an empty database to SQLite; it must be that file, not a
    // link put in its place.
    Handle copy(file.temporaryPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW);
    if (copy.get() == nullptr) {
      *error = copy.error();
      return false;
    }
    CopyFault fault = CopyPagesFrom(copy.get(), livePath, error);
    if (fault == CopyFault::kDestination)
      *error = copyPath + ": " + *error;
    if (fault != CopyFault::kNone)
      return false;
  }
  return file.place(replace, placed, error);
}

}  // namespace

bool BackupStore(const std::string& livePath, const std::string& copyPath, std::string* error) {
  std::string placed;
  return CopyStoreTo(livePath, copyPath, true, &placed, error);
}

bool RestoreStore(const std::string& sourcePath, const std::string& livePath,
                  const std::string& savedCopyName, std::string* savedCopyPath,
                  std::string* error) {
  if (::access(sourcePath.c_str(), R_OK) != 0) {
    *error = sourcePath + ": " + std::strerror(errno);
    return false;
  }
  if (std::optional<std::string> problem = OutputFileProblem(sourcePath, livePath);
      problem && problem->find(" is the database") != std::string::npos) {
    *error = *problem;
    return false;
  }
  StoreCheck check = CheckStoreSchema(sourcePath);
  if (!check.ok()) {
    std::string findings;
    for (const std::string& problem : check.problems)
      findings += (findings.empty() ? "" : "; ") + problem;
    *error = sourcePath + (check.unreadable ? ": " : " is not a Brenlow database: ") + findings;
    return false;
  }
  if (!CopyStoreTo(livePath, savedCopyName, false, savedCopyPath, error)) {
    *error = "the database was not backed up, so nothing was restored: " + *error;
    return false;
  }
  Handle live(livePath, SQLITE_OPEN_READWRITE);
  if (live.get() == nullptr) {
    *error = live.error();
    return false;
  }
  if (CopyPagesFrom(live.get(), sourcePath, error) != CopyFault::kNone) {
    *error = livePath + ": the copy failed (" + *error + "); " + *savedCopyPath +
             " holds the database as it was";
    return false;
  }
  // A copy made before a table was added lacks it. The running server found the live file
  // complete when it first opened it and does not look again, so the tables are added here. A
  // failure leaves the restored data as it is: readers take a missing added table as empty.
  std::string ignored;
  AddMissingTables(live.get(), &ignored);
  return true;
}

}  // namespace brenlow
