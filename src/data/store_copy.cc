#include "data/store_copy.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "data/added_tables.h"
#include "data/connection.h"
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

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

bool BackupStore(const std::string& livePath, const std::string& copyPath, std::string* error) {
  if (::access(livePath.c_str(), F_OK) != 0) {
    *error = livePath + ": " + std::strerror(errno);
    return false;
  }
  if (SameFile(livePath, copyPath)) {
    *error = copyPath + " is the database itself";
    return false;
  }
  // Written beside the target and renamed over it when complete: a failed copy leaves an
  // existing file there untouched, and nobody sees half a copy under its name.
  const std::string partial = copyPath + ".partial";
  ::unlink(partial.c_str());
  bool ok = false;
  {
    Handle live(livePath, SQLITE_OPEN_READWRITE);
    Handle copy(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (live.get() == nullptr) {
      *error = live.error();
    } else if (copy.get() == nullptr) {
      *error = copy.error();
    } else if (!CopyPages(copy.get(), live.get(), error)) {
      *error = copyPath + ": " + *error;
    } else {
      ok = true;
    }
  }
  if (ok && std::rename(partial.c_str(), copyPath.c_str()) != 0) {
    *error = copyPath + ": " + std::strerror(errno);
    ok = false;
  }
  if (!ok) {
    ::unlink(partial.c_str());
    ::unlink((partial + "-wal").c_str());
    ::unlink((partial + "-shm").c_str());
  }
  return ok;
}

bool RestoreStore(const std::string& sourcePath, const std::string& livePath,
                  const std::string& savedCopyPath, std::string* error) {
  if (::access(sourcePath.c_str(), R_OK) != 0) {
    *error = sourcePath + ": " + std::strerror(errno);
    return false;
  }
  if (SameFile(sourcePath, livePath)) {
    *error = sourcePath + " is the database itself";
    return false;
  }
  StoreCheck check = CheckStoreSchema(sourcePath);
  if (!check.ok()) {
    std::string findings;
    for (const std::string& problem : check.problems)
      findings += (findings.empty() ? "" : "; ") + problem;
    *error = sourcePath + " is not a Brenlow database: " + findings;
    return false;
  }
  if (!BackupStore(livePath, savedCopyPath, error)) {
    *error = "the database was not backed up, so nothing was restored: " + *error;
    return false;
  }
  Handle source(sourcePath, SQLITE_OPEN_READONLY);
  Handle live(livePath, SQLITE_OPEN_READWRITE);
  if (source.get() == nullptr || live.get() == nullptr) {
    *error = source.get() == nullptr ? source.error() : live.error();
    return false;
  }
  if (!CopyPages(live.get(), source.get(), error)) {
    *error = livePath + ": the copy failed (" + *error + "); " + savedCopyPath +
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
