#include "terminals/reply_cache.h"

#include "data/connection.h"

namespace brenlow {

void ReplyCache::answer(const std::string& storePath, std::string_view key, std::string& reply,
                        const std::function<bool(std::string& reply)>& make) {
  const bool usable = beginRequest(storePath);
  if (usable) {
    if (const std::string* kept = find(key)) {
      reply.append(*kept);
      return;
    }
  }
  const size_t start = reply.size();
  const uint64_t failures = ThreadStoreFailureCount();
  if (make(reply) && usable && ThreadStoreFailureCount() == failures)
    keep(key, std::string_view(reply).substr(start));
}

bool ReplyCache::beginRequest(const std::string& storePath) {
  std::optional<StoreVersion> now = ReadStoreVersion(storePath);
  if (!now || now != version_)
    clear();
  version_ = now;
  return version_.has_value();
}

const std::string* ReplyCache::find(std::string_view key) {
  if (!version_)
    return nullptr;
  auto found = byKey_.find(key);
  if (found == byKey_.end())
    return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  ++hits_;
  return &found->second->reply;
}

void ReplyCache::keep(std::string_view key, std::string_view reply) {
  if (!version_ || reply.size() > limits_.replyBytes)
    return;
  auto found = byKey_.find(key);
  if (found != byKey_.end()) {
    bytes_ -= found->second->cost();
    entries_.erase(found->second);
    byKey_.erase(found);
  }
  const size_t cost = key.size() + reply.size() + kEntryOverheadBytes;
  if (cost > limits_.bytes)
    return;
  while (!entries_.empty() &&
         (entries_.size() >= limits_.entries || bytes_ + cost > limits_.bytes)) {
    bytes_ -= entries_.back().cost();
    byKey_.erase(entries_.back().key);
    entries_.pop_back();
  }
  if (limits_.entries == 0)
    return;
  entries_.push_front(Entry{std::string(key), std::string(reply)});
  byKey_.emplace(entries_.front().key, entries_.begin());
  bytes_ += cost;
}

void ReplyCache::clear() {
  byKey_.clear();
  entries_.clear();
  bytes_ = 0;
}

}  // namespace brenlow
