// StoreVersion: what the calling thread's connection knows about whether the store changed.
//
// A thread that keeps answers made from the store (a reply cache) reads the version once per
// request and compares it with the version its answers were made under. Two equal versions
// mean the thread's connection to the file is the same one and nothing was committed in
// between: not by another connection (SQLite's data_version, which covers other threads and
// other processes) and not through this connection itself (a count of its writes, because
// data_version does not change for a connection's own commits). A file replaced under the
// process gives the thread a new connection, and so a version that differs from every earlier
// one.
//
// Thread: a version is only meaningful to the thread that read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <thread>

namespace brenlow {

struct StoreVersion {
  std::thread::id thread;
  const void* connection = nullptr;   // identity only, never followed
  uint64_t connectionGeneration = 0;  // ThreadConnectionGeneration() when it was read
  int64_t dataVersion = 0;
  uint64_t ownWrites = 0;

  bool operator==(const StoreVersion&) const = default;
};

// The calling thread's version of the store at path, opening the thread's connection if need
// be (one stat of the file and one pragma); nullopt when the store cannot be opened or read
// (then nothing read from it may be kept either).
std::optional<StoreVersion> ReadStoreVersion(const std::string& path);

}  // namespace brenlow
