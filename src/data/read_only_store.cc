#include "data/read_only_store.h"

#include <unistd.h>

#include <fstream>

#include "data/connection.h"

namespace brenlow {
namespace {

bool Exists(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0;
}

// Bytes 18 and 19 of the file header are the write and read versions: 2 for WAL, 1 for a
// rollback journal.
bool IsWalModeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  char header[20] = {};
  if (!file.read(header, sizeof header))
    return false;
  return header[18] == 2 && header[19] == 2;
}

// A URI's path keeps letters, digits and "/-._~"; every other byte is written as %XX, so that
// '?', '#' and '%' in a file name stay part of it.
std::string UriPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  return encoded;
}

}  // namespace

std::string ReadOnlyStoreUri(const std::string& path) {
  const bool unchanging = !Exists(path + "-wal") && IsWalModeFile(path);
  return "file:" + UriPath(path) + (unchanging ? "?immutable=1" : "?mode=ro");
}

std::optional<ReadOnlyStore::FileState> ReadOnlyStore::StateOf(const std::string& path) {
  struct stat file {};
  if (::stat(path.c_str(), &file) != 0)
    return std::nullopt;
  return FileState{file.st_dev, file.st_ino, file.st_size, file.st_mtim};
}

bool ReadOnlyStore::unchangedSinceOpen() const {
  if (!unchangingState_)
    return true;
  std::optional<FileState> now = StateOf(path_);
  return now && !Exists(path_ + "-wal") && now->device == unchangingState_->device &&
         now->inode == unchangingState_->inode && now->size == unchangingState_->size &&
         now->modified.tv_sec == unchangingState_->modified.tv_sec &&
         now->modified.tv_nsec == unchangingState_->modified.tv_nsec;
}

ReadOnlyStore::ReadOnlyStore(const std::string& path) : path_(path) {
  // Taken before the open is chosen, so that a writer arriving after it is seen.
  std::optional<FileState> before = StateOf(path);
  const std::string uri = ReadOnlyStoreUri(path);
  if (uri.ends_with("?immutable=1"))
    unchangingState_ = before ? before : FileState{};
  const int flags = SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
  int rc = sqlite3_open_v2(uri.c_str(), &handle_, flags, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
    // SQLite opens the companions at the first read, not at the open.
    rc = sqlite3_exec(handle_, "select count(*) from sqlite_schema", nullptr, nullptr, nullptr);
  }
  if (rc == SQLITE_OK)
    return;
  error_ = handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc);
  unreadable_ = (rc & 0xFF) != SQLITE_NOTADB && (rc & 0xFF) != SQLITE_CORRUPT;
  if ((rc & 0xFF) == SQLITE_CANTOPEN && Exists(path + "-wal") && !Exists(path + "-shm")) {
    error_ += " (" + path + "-wal lies beside it without its -shm file, which cannot be made " +
              "there; copy both files to a folder that can be written)";
  }
  sqlite3_close_v2(handle_);
  handle_ = nullptr;
}

ReadOnlyStore::~ReadOnlyStore() {
  sqlite3_close_v2(handle_);
}

}  // namespace brenlow
