#include "net/limited_log.h"

#include "core/messages.h"

namespace brenlow {

void LineLimit::write(const std::string& source, const std::string& what, const std::string& line) {
  const TimePoint now = clock_.monotonicNow();
  std::lock_guard lock(mutex_);
  // Windows that are over are looked at once a second, not at every line of a flood.
  if (now - lastSweep_ >= std::chrono::seconds(1)) {
    lastSweep_ = now;
    closeWindows(now);
  }
  if (now - globalStart_ >= limits_.window) {
    globalStart_ = now;
    globalWritten_ = 0;
  }
  const std::string name = source + " " + what;
  auto found = keys_.find(name);
  if (found == keys_.end() && keys_.size() < limits_.keys)
    found = keys_.emplace(name, Key{now, 0, 0, {}}).first;
  Key* key = found == keys_.end() ? nullptr : &found->second;
  const bool globalRoom = globalWritten_ < limits_.global;
  if (key != nullptr && key->written < limits_.perKey && globalRoom) {
    ++key->written;
    ++globalWritten_;
    write_(line);
  } else if (key == nullptr && globalRoom) {
    ++globalWritten_;
    write_(line);
  } else if (key != nullptr) {
    ++key->suppressed;
    key->example = line;
  } else {
    ++globalSuppressed_;
  }
}

void LineLimit::sweep() {
  const TimePoint now = clock_.monotonicNow();
  std::lock_guard lock(mutex_);
  lastSweep_ = now;
  closeWindows(now);
}

void LineLimit::finish() {
  std::lock_guard lock(mutex_);
  closeWindows(TimePoint{}, true);
}

void LineLimit::closeWindows(TimePoint now, bool everything) {
  for (auto it = keys_.begin(); it != keys_.end();) {
    Key& key = it->second;
    if (!everything && now - key.windowStart < limits_.window) {
      ++it;
      continue;
    }
    if (key.suppressed > 0) {
      write_("suppressed " + std::to_string(key.suppressed) + " more lines like: " + key.example);
    }
    it = keys_.erase(it);
  }
  if (globalSuppressed_ > 0 && (everything || now - globalStart_ >= limits_.window)) {
    write_("suppressed " + std::to_string(globalSuppressed_) +
           " more lines from sources beyond the log's table");
    globalSuppressed_ = 0;
  }
}

namespace {

LineLimit& ProcessLimit() {
  static const SystemClock* clock = new SystemClock;
  static LineLimit* limit = new LineLimit(LineLimit::Limits{}, WriteStderrLine, *clock);
  return *limit;
}

}  // namespace

void WriteLimitedLine(const std::string& source, const std::string& what, const std::string& line) {
  ProcessLimit().write(source, what, line);
}

void SweepLimitedLines() {
  ProcessLimit().sweep();
}

void FinishLimitedLines() {
  ProcessLimit().finish();
}

}  // namespace brenlow
