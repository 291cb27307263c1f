// ReplyCache: the replies of one serving thread, kept as the bytes sent while the store is
// unchanged, so that the terminals asking the same question again (every terminal of a school
// at the start of the day, each one again after a reboot) are answered without a query.
//
// Each request starts with beginRequest(), which reads the thread's StoreVersion (one pragma)
// and forgets every reply when it differs from the version the kept replies were made under:
// any commit by another connection or process, any write through the thread's own connection
// and a file replaced under the server all empty the cache. A reply is then found by its key (the
// request's kind and address slots) or made and kept. A reply made while a read failed is not
// kept (see ThreadStoreFailureCount()): the next request reads again.
//
// Bounded: at most Limits::entries replies and Limits::bytes bytes (keys and bookkeeping
// counted), the least recently used going first; a reply above Limits::replyBytes is never
// kept.
//
// Thread: one serving thread only (its version is that of the thread's connection). One cache
// per serving loop: port 64124's kinds and port 62124's teacher list are served by different
// threads with different connections, so they never share one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/store_version.h"

namespace brenlow {

class ReplyCache {
 public:
  struct Limits {
    size_t entries = 4096;
    size_t bytes = 32 * 1024 * 1024;
    // A larger reply (a teacher list of some 13,000 teachers) is made afresh each time.
    size_t replyBytes = 1024 * 1024;
  };
  // What one kept reply costs beyond its key and bytes: its list and map nodes.
  static constexpr size_t kEntryOverheadBytes = 128;

  ReplyCache() : ReplyCache(Limits{}) {}
  explicit ReplyCache(Limits limits) : limits_(limits) {}
  ReplyCache(const ReplyCache&) = delete;
  ReplyCache& operator=(const ReplyCache&) = delete;

  // Appends the reply to one request to reply: the kept bytes when key was answered under the
  // store's present version, else what make appends, kept when make returns true (it read all
  // it needed) and no store read failed meanwhile.
  void answer(const std::string& storePath, std::string_view key, std::string& reply,
              const std::function<bool(std::string& reply)>& make);

  // Reads the store's version for this request. False when it cannot be read: then the
  // request is answered from the store and nothing is found or kept.
  bool beginRequest(const std::string& storePath);

  // The reply kept under key, made under the version of the last beginRequest(); nullptr when
  // there is none. The pointer is valid until the next call of any other method.
  const std::string* find(std::string_view key);

  // Keeps reply under key (after a successful beginRequest(); otherwise does nothing).
  void keep(std::string_view key, std::string_view reply);

  size_t size() const { return entries_.size(); }
  size_t bytes() const { return bytes_; }
  uint64_t hits() const { return hits_; }

 private:
  struct Entry {
    std::string key;
    std::string reply;
    size_t cost() const { return key.size() + reply.size() + kEntryOverheadBytes; }
  };
  void clear();

  Limits limits_;
  std::optional<StoreVersion> version_;  // of the kept replies; nullopt: nothing may be kept
  std::list<Entry> entries_;             // most recently used first
  std::unordered_map<std::string_view, std::list<Entry>::iterator> byKey_;  // views of keys
  size_t bytes_ = 0;
  uint64_t hits_ = 0;
};

}  // namespace brenlow
