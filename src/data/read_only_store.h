// Opening a store file only to read it: the source of a restore, the database that backup copies
// and check reads. Such a file may lie on read-only media (a backup on a stick or a disc, a
// read-only mount), and reading it must write nothing beside it.
//
// A plain read-only open does not promise that: SQLite reads a WAL-mode file through its "-wal"
// and "-shm" companions and creates them when they are missing (a backup made by backup is a
// WAL-mode file without them), leaving them behind in a writable folder and failing in a
// read-only one. So the open is chosen by what lies beside the file:
// - a "-wal" file: it may hold committed pages the file lacks (a server has the file open, or
//   ended without folding it in), so it is read as SQLite reads a live database ("mode=ro"),
//   under the usual locks. Where no "-shm" lies beside it, SQLite creates one, and in a folder
//   that cannot be written the open fails; the failure says so.
// - no "-wal" and a WAL-mode file: no connection has it open (every connection of a WAL-mode
//   file keeps its "-wal" while open), so the file alone is the whole database and is read as
//   unchanging ("immutable=1"): no companion is looked for or made, no lock is taken. Without a
//   lock, a writer that opens the file meanwhile (a server starting, a brenlow-admin command)
//   could change it under the reader: unchangedSinceOpen() tells, and a reader that finds it
//   changed reads again.
// - a rollback-journal file: "mode=ro"; reading one creates nothing beside it, and a journal
//   left by an interrupted write still makes SQLite refuse it rather than read half a change.
// Any thread; each object is one connection, closed with it.
#pragma once

#include <sqlite3.h>
#include <sys/stat.h>

#include <optional>
#include <string>

namespace brenlow {

class ReadOnlyStore {
 public:
  explicit ReadOnlyStore(const std::string& path);
  ~ReadOnlyStore();
  ReadOnlyStore(const ReadOnlyStore&) = delete;
  ReadOnlyStore& operator=(const ReadOnlyStore&) = delete;

  // nullptr when the file could not be opened; error() then says why.
  sqlite3* handle() const { return handle_; }
  const std::string& error() const { return error_; }
  // True when the open failed because the file or a companion could not be read at all (missing,
  // no permission, a companion that cannot be made, a journal that cannot be rolled back), as
  // opposed to a file that was read and is not an SQLite database.
  bool unreadable() const { return unreadable_; }

  // False when the file was read as unchanging and has since been changed or opened by a writer
  // (its size, time or identity differ, or a "-wal" lies beside it): what was read may mix two
  // states. True for a file read under SQLite's locks.
  bool unchangedSinceOpen() const;

 private:
  struct FileState {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
  };
  static std::optional<FileState> StateOf(const std::string& path);

  std::string path_;
  sqlite3* handle_ = nullptr;
  std::string error_;
  bool unreadable_ = false;
  std::optional<FileState> unchangingState_;  // set when opened as unchanging
};

// The SQLite URI ReadOnlyStore opens path with ("file:<path>?mode=ro" or
// "file:<path>?immutable=1"; the path percent-encoded).
std::string ReadOnlyStoreUri(const std::string& path);

}  // namespace brenlow
