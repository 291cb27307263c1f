// Connection: one SQLite connection with its prepared statements, kept per thread and per file.
//
// Each operation opens a Database as if it were new; underneath, the thread reuses the
// connection it opened before for the same file, and statements of the same shape stay
// prepared. Every statement runs in autocommit, so each one sees what the store holds at that
// moment. Before a connection is reused the file is checked to be the one it opened (same
// device and inode); a removed or replaced file gets a fresh connection, or the open failure.
// A connection that could only be opened for reading (the file was read-only) is not reused.
//
// A file replaced under the process (a backup moved into place, a file deleted and made anew)
// must never be used beside the old one: both would share the "-wal" and "-shm" names, and the
// old file's journal would be read into the new file. So the process keeps each path's file
// identity; the first thread to open a file of another identity closes every thread's
// connection to the old file (after moving the old journal into the old file) before the first
// connection to the new one opens, and writes one line saying the file was replaced. A closed
// connection fails its next statement with closed() true; its owner then acquires afresh. A
// missing file is no new identity: the file that comes back is compared with the last one.
// A file that is no Brenlow database (not SQLite, or without its five tables) is refused at
// open with "not a Brenlow database: <path>".
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "data/record_set.h"
#include "data/statement.h"
#include "data/status.h"

namespace brenlow {

class Connection {
 public:
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Runs a statement, discarding any rows. Returns false and fills failure on error.
  bool execute(const Statement& statement, Status* failure);
  // Runs a query and takes its rows. Returns false and fills failure on error.
  bool query(const Statement& statement, RecordSet* rows, Status* failure);

  // True once another thread closed this connection because its file was replaced.
  bool closed() const { return closed_.load(std::memory_order_acquire); }

  // SQLite's data_version of this connection (it changes when another connection commits) and
  // how many statements that may write went through this connection (a commit of its own does
  // not change data_version). Together they say whether the store may have changed since they
  // were last read. Returns false and fills failure when the pragma cannot run.
  bool readVersion(int64_t* dataVersion, uint64_t* ownWrites, Status* failure);

 private:
  friend class ConnectionCache;
  friend class OpenFiles;
  Connection(sqlite3* handle, std::string path, dev_t device, ino_t inode);
  sqlite3_stmt* prepare(const Statement& statement, Status* failure);
  void fail(Status* failure) const;
  // Closes the handle; first moves the journal into the file when the path no longer names
  // this connection's file. The caller holds the open-files lock.
  void retire();

  std::mutex use_;  // held while a statement runs and while another thread closes the handle
  sqlite3* handle_;
  std::atomic<bool> closed_{false};
  // Statements run by execute(), and queries that may write; read and bumped under use_.
  uint64_t ownWrites_ = 0;
  sqlite3_stmt* dataVersion_ = nullptr;  // "PRAGMA data_version", prepared at first use
  const std::string path_;
  dev_t device_;
  ino_t inode_;
  // Most recently used shapes first; bounded so that a stream of unusual texts cannot grow it.
  std::list<std::pair<std::string, sqlite3_stmt*>> prepared_;
  std::unordered_map<std::string, std::list<std::pair<std::string, sqlite3_stmt*>>::iterator>
      byShape_;
};

// The calling thread's connection to the file at path, opened (read-write, never created) when
// the thread has none for it or the file changed. Returns nullptr and fills failure when the
// file cannot be opened. The connection stays the thread's; do not keep the pointer across
// operations.
Connection* AcquireConnection(const std::string& path, Status* failure);

// Closes every connection of the calling thread (tests that remove their files use it).
void ReleaseThreadConnections();

// Changes whenever the calling thread closes one of its connections: a Connection* taken from
// AcquireConnection stays valid while this value stays the same.
uint64_t ThreadConnectionGeneration();

// How many statements (or opens) failed on the calling thread so far: an answer made while
// this count moved may have been cut short by the failure, not by the data.
uint64_t ThreadStoreFailureCount();

// The calling thread's connections use synchronous=NORMAL from now on: a commit may be lost at
// a power cut, never corrupted. Only for threads whose writes are volatile state.
void UseRelaxedDurabilityOnThisThread();

// The failure text of a store file that does not exist: its path and how to create one.
std::string MissingStoreText(const std::string& path);

// How long a connection waits for another writer before a statement fails.
inline constexpr int kBusyTimeoutMs = 10000;

}  // namespace brenlow
