#include "data/schema.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/added_tables.h"

namespace brenlow {
namespace {

// Every table's ID grows in insertion order. Columns an insert leaves out read back as text,
// never NULL: periods default to the blank period (one blank in the times and the teacher,
// both flags off), everything else to the empty text or 0.
constexpr const char* kSchema = R"sql(
PRAGMA journal_mode=WAL;
BEGIN;
CREATE TABLE tblbj (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name TEXT DEFAULT '',
  ZKIP TEXT DEFAULT '',
  PCMacAddr TEXT DEFAULT '',
  Pass TEXT DEFAULT '',
  Status INTEGER DEFAULT 0,
  PCIP TEXT DEFAULT ''
);
CREATE TABLE tblkcTime (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  BJName TEXT DEFAULT '',
  Week TEXT DEFAULT '',
  StartH TEXT DEFAULT ' ',
  StartM TEXT DEFAULT ' ',
  EndH TEXT DEFAULT ' ',
  EndM TEXT DEFAULT ' ',
  AutoOn INTEGER DEFAULT 0,
  AutoOff INTEGER DEFAULT 0,
  ThName TEXT DEFAULT ' '
);
CREATE TABLE tblkc (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  BJName TEXT DEFAULT '',
  Monday TEXT DEFAULT '',
  Tuesday TEXT DEFAULT '',
  Wednesday TEXT DEFAULT '',
  Thursday TEXT DEFAULT '',
  Friday TEXT DEFAULT ''
);
CREATE TABLE tblThMes (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Numb TEXT DEFAULT '',
  Name TEXT DEFAULT '',
  NameNumb TEXT DEFAULT '',
  UseTime TEXT DEFAULT ''
);
CREATE TABLE tbl_teacher_usetime (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  teacher_Numb TEXT DEFAULT '',
  teacher_Name TEXT DEFAULT '',
  class_Name TEXT DEFAULT '',
  date_day TEXT DEFAULT '',
  use_time INTEGER DEFAULT 0
);
CREATE INDEX tblbj_Name ON tblbj (Name);
CREATE INDEX tblbj_ZKIP ON tblbj (ZKIP);
CREATE INDEX tblbj_PCMacAddr ON tblbj (PCMacAddr);
CREATE INDEX tblkcTime_BJName_Week ON tblkcTime (BJName, Week);
CREATE INDEX tblkcTime_Week ON tblkcTime (Week);
-- A class's periods in ID order (the terminal's kind 2) come straight from this index, unsorted.
CREATE INDEX tblkcTime_BJName ON tblkcTime (BJName);
CREATE INDEX tblkc_BJName ON tblkc (BJName);
CREATE INDEX tblThMes_Numb ON tblThMes (Numb);
CREATE INDEX tblThMes_NameNumb ON tblThMes (NameNumb);
CREATE INDEX tbl_teacher_usetime_Numb ON tbl_teacher_usetime (teacher_Numb);
COMMIT;
)sql";

}  // namespace

bool CreateTables(sqlite3* handle, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(handle, kSchema, nullptr, nullptr, &message) != SQLITE_OK) {
    *error = message != nullptr ? message : sqlite3_errmsg(handle);
    sqlite3_free(message);
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return AddMissingTables(handle, error);
}

bool CreateDatabase(const std::string& path, std::string* error) {
  // O_EXCL makes "refuse an existing file" atomic: nothing that exists is ever opened. The file
  // holds class passwords and card numbers: owner and group only, as the umask further allows
  // (SQLite gives the -wal and -shm files the same mode).
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0660);
  if (fd < 0) {
    *error = errno == EEXIST ? path + ": a file already exists there; it was left untouched"
                             : path + ": " + std::strerror(errno);
    return false;
  }
  ::close(fd);
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
  std::string createError;
  if (rc != SQLITE_OK)
    createError = sqlite3_errstr(rc);
  else if (!CreateTables(handle, &createError))
    rc = SQLITE_ERROR;
  if (rc != SQLITE_OK) {
    *error = path + ": " + createError;
    sqlite3_close_v2(handle);
    ::unlink(path.c_str());
    ::unlink((path + "-wal").c_str());
    ::unlink((path + "-shm").c_str());
    return false;
  }
  sqlite3_close_v2(handle);
  return true;
}

}  // namespace brenlow
