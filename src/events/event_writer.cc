#include "events/event_writer.h"

#include <sqlite3.h>

#include <iterator>
#include <nlohmann/json.hpp>

#include "core/messages.h"
#include "data/connection.h"
#include "data/statement.h"
#include "events/event_time.h"

namespace brenlow {
namespace {

constexpr auto kMergeWindow = std::chrono::minutes(1);
constexpr auto kReportInterval = std::chrono::minutes(1);
constexpr auto kLostLineInterval = std::chrono::minutes(1);
constexpr size_t kBatchSize = 500;
constexpr const char* kOverflowKey = "\x01overflow";
constexpr const char* kShortBusyWait = "PRAGMA busy_timeout=100";
constexpr auto kLastWriteTime = std::chrono::milliseconds(1000);

constexpr const char* kInsertEvent =
    "Insert into tbl_events (time, kind, class, address, port, count, card, teacher, decision, "
    "command, reason, outcome, edit_row, fields, power) Values ('%s','%s','%s','%s',%d,%d,'%s',"
    "'%s','%s','%s','%s','%s','%s','%s','%s')";
constexpr const char* kAddCount = "Update tbl_events set count=count+%d where ID=%d";
constexpr const char* kUpsertReport =
    "Insert into tbl_last_report (class, time) Values ('%s','%s') "
    "on conflict(class) do update set time=excluded.time";

// The facts that make two limited decisions the same one.
std::string MergeKey(const Event& event) {
  std::string key;
  for (const std::string* part :
       {&event.address, &event.className, &event.card, &event.teacher, &event.decision}) {
    key += *part;
    key += '\0';
  }
  return key;
}

std::string FieldsText(const Event& event) {
  if (event.kind != EventKind::kEdit)
    return std::string();
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  for (const EditedField& field : event.fields)
    fields[field.field] = {field.before, field.after};
  // Terminals' texts arrive as UTF-16 and are kept as UTF-8; a text that is not is kept with
  // U+FFFD rather than lose the whole event.
  return fields.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

Statement InsertStatement(const Event& event) {
  return FormatStatement(kInsertEvent, event.time, EventKindText(event.kind), event.className,
                         event.address, event.port, event.count, event.card, event.teacher,
                         event.decision, event.command, event.reason, event.outcome, event.editRow,
                         FieldsText(event), event.power);
}

}  // namespace

EventWriter::EventWriter(const Clock& clock, std::string databasePath, Options options)
    : clock_(clock), path_(std::move(databasePath)), options_(options) {}

EventWriter::~EventWriter() {
  stop();
}

void EventWriter::start() {
  if (!thread_.joinable())
    thread_ = std::thread([this] { run(); });
}

void EventWriter::stop() {
  if (!thread_.joinable()) {
    writeQueued();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void EventWriter::record(Event event) {
  if (event.time.empty())
    event.time = EventTimeText(clock_.now());
  std::lock_guard lock(mutex_);
  Queued queued;
  if (event.limited) {
    const auto now = clock_.monotonicNow();
    std::string key = MergeKey(event);
    auto found = merges_.find(key);
    if (found == merges_.end() && merges_.size() >= kMaxMergedKeys) {
      // A flood of different decisions (forged addresses and cards): one row counts the rest.
      key = kOverflowKey;
      found = merges_.find(key);
      const std::string time = event.time;
      event = SwipeEvent("", "", "", "", "suppressed", true);
      event.time = time;
    }
    if (found != merges_.end()) {
      Merge& merge = found->second;
      // A row not yet written keeps counting until it is, whatever the time.
      if (merge.rowId == 0 || now - merge.since < kMergeWindow) {
        ++merge.extra;
        return;
      }
      if (merge.extra > 0)
        countsToAdd_.emplace_back(merge.rowId, merge.extra);
      merges_.erase(found);
    }
    queued.mergeKey = key;
    queued.generation = nextGeneration_++;
    merges_.emplace(key, Merge{0, 0, queued.generation, now});
  }
  if (queue_.size() >= options_.capacity) {
    ++droppedFull_;
    if (!queued.mergeKey.empty())
      merges_.erase(queued.mergeKey);
    return;
  }
  queued.event = std::move(event);
  queue_.push_back(std::move(queued));
  if (queue_.size() >= kBatchSize)
    wake_.notify_one();
}

void EventWriter::noteReport(const std::string& className) {
  const auto now = clock_.monotonicNow();
  std::lock_guard lock(mutex_);
  auto found = reported_.find(className);
  if (found != reported_.end() && now - found->second < kReportInterval)
    return;
  reported_[className] = now;
  reports_.push_back({className, EventTimeText(clock_.now())});
}

bool EventWriter::writeQueued() {
  return write(false);
}

bool EventWriter::write(bool keepWhenBusy) {
  std::vector<Queued> batch;
  std::vector<std::pair<int64_t, uint64_t>> counts;
  std::vector<Report> reports;
  uint64_t droppedFull = 0;
  {
    std::lock_guard lock(mutex_);
    batch.swap(queue_);
    // Repeats that came before their row was written go into the row itself.
    for (Queued& queued : batch) {
      if (queued.mergeKey.empty())
        continue;
      auto found = merges_.find(queued.mergeKey);
      if (found != merges_.end() && found->second.generation == queued.generation) {
        queued.event.count += static_cast<long long>(found->second.extra);
        found->second.extra = 0;
      }
    }
    counts.swap(countsToAdd_);
    reports.swap(reports_);
    std::swap(droppedFull, droppedFull_);
    const auto now = clock_.monotonicNow();
    for (auto it = merges_.begin(); it != merges_.end();) {
      Merge& merge = it->second;
      if (merge.rowId != 0 && merge.extra > 0) {
        counts.emplace_back(merge.rowId, merge.extra);
        merge.extra = 0;
      }
      if (merge.rowId != 0 && now - merge.since >= kMergeWindow)
        it = merges_.erase(it);
      else
        ++it;
    }
  }
  if (droppedFull > 0)
    noteLost(droppedFull, "too many events waiting");
  if (batch.empty() && counts.empty() && reports.empty())
    return true;

  std::vector<std::pair<size_t, int64_t>> rowIds;  // batch index, row written
  Status failure;
  Connection* connection = AcquireConnection(path_, &failure);
  // The writer thread waits for another writer only briefly, and tries again at its next wake:
  // so it never holds up a stop, and a long write elsewhere (a restore) loses nothing.
  bool ok = connection != nullptr &&
            (!keepWhenBusy || connection->execute(kShortBusyWait, &failure)) &&
            connection->execute("BEGIN IMMEDIATE", &failure);
  for (size_t i = 0; ok && i < batch.size(); ++i) {
    ok = connection->execute(InsertStatement(batch[i].event), &failure);
    if (ok && !batch[i].mergeKey.empty()) {
      RecordSet id;
      ok = connection->query("select last_insert_rowid() as ID", &id, &failure);
      if (ok)
        rowIds.emplace_back(i, std::stoll(id.fieldText("ID")));
    }
  }
  for (size_t i = 0; ok && i < counts.size(); ++i) {
    ok = connection->execute(FormatStatement(kAddCount, static_cast<long long>(counts[i].second),
                                             static_cast<long long>(counts[i].first)),
                             &failure);
  }
  for (size_t i = 0; ok && i < reports.size(); ++i) {
    ok = connection->execute(FormatStatement(kUpsertReport, reports[i].className, reports[i].time),
                             &failure);
  }
  if (ok)
    ok = connection->execute("COMMIT", &failure);

  const int primaryCode = static_cast<int>(failure.storeCode() & 0xff);
  if (!ok && keepWhenBusy && (primaryCode == SQLITE_BUSY || primaryCode == SQLITE_LOCKED)) {
    Status ignored;
    if (connection != nullptr)
      connection->execute("ROLLBACK", &ignored);
    std::lock_guard lock(mutex_);
    batch.insert(batch.end(), std::make_move_iterator(queue_.begin()),
                 std::make_move_iterator(queue_.end()));
    queue_.swap(batch);
    countsToAdd_.insert(countsToAdd_.end(), counts.begin(), counts.end());
    reports_.insert(reports_.end(), reports.begin(), reports.end());
    return false;
  }

  uint64_t lostNow = 0;
  {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < batch.size(); ++i) {
      if (batch[i].mergeKey.empty())
        continue;
      auto found = merges_.find(batch[i].mergeKey);
      if (found == merges_.end() || found->second.generation != batch[i].generation)
        continue;
      if (!ok) {
        // The row is gone with the batch: its repeats cannot be added to it either.
        lostNow += found->second.extra;
        merges_.erase(found);
      }
    }
    for (const auto& [index, rowId] : rowIds) {
      auto found = merges_.find(batch[index].mergeKey);
      if (ok && found != merges_.end() && found->second.generation == batch[index].generation)
        found->second.rowId = rowId;
    }
  }
  if (!ok) {
    Status ignored;
    if (connection != nullptr)
      connection->execute("ROLLBACK", &ignored);
    for (const Queued& queued : batch)
      lostNow += static_cast<uint64_t>(queued.event.count);
    for (const auto& count : counts)
      lostNow += count.second;
    noteLost(lostNow, failure.message().empty() ? "the store refused them" : failure.message());
    std::lock_guard lock(mutex_);
    // A class whose report was not written may be written again at its next report.
    for (const Report& report : reports)
      reported_.erase(report.className);
  }
  return ok;
}

void EventWriter::run() {
  removeOldEvents();
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    wake_.wait_for(lock, options_.interval,
                   [this] { return stopping_ || queue_.size() >= kBatchSize; });
    lock.unlock();
    removeOldEvents();
    write(true);
    lock.lock();
  }
  lock.unlock();
  // The last events: tried for a moment while another writer holds the store, then given up
  // (counted), so that the program ends in time.
  const auto giveUp = std::chrono::steady_clock::now() + kLastWriteTime;
  while (!write(true) && std::chrono::steady_clock::now() < giveUp)
    std::this_thread::sleep_for(kLastWriteTime / 10);
  write(false);
}

void EventWriter::removeOldEvents() {
  const LocalTime now = clock_.now();
  const std::string today = now.dateText();
  if (today == retainedDate_)
    return;
  Status failure;
  Connection* connection = AcquireConnection(path_, &failure);
  const std::string cutoff = EventTimeText(DaysEarlier(now, options_.keepDays));
  if (connection != nullptr &&
      connection->execute(FormatStatement("Delete from tbl_events where time<'%s'", cutoff),
                          &failure)) {
    retainedDate_ = today;
    return;
  }
  // Tried again at every wake until it works; said once a day.
  if (retentionSaidDate_ != today) {
    retentionSaidDate_ = today;
    WriteStderrLine("events: old events not removed: " + failure.message());
  }
}

void EventWriter::noteLost(uint64_t count, const std::string& why) {
  lost_.fetch_add(count, std::memory_order_acq_rel);
  std::lock_guard lock(lostMutex_);
  unsaidLost_ += count;
  const auto now = std::chrono::steady_clock::now();
  if (saidOnce_ && now - lastSaid_ < kLostLineInterval)
    return;
  saidOnce_ = true;
  lastSaid_ = now;
  WriteStderrLine("events: " + std::to_string(unsaidLost_) + " not recorded: " + why);
  unsaidLost_ = 0;
}

}  // namespace brenlow
