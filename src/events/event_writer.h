// EventWriter: writes events (events/event.h) and controllers' last reports to the store in
// batches, on a thread of its own, so that whoever records one (the controller listener, the
// terminal loops, the scheduler) never waits for the store.
//
// record() and noteReport() only queue, under a short lock. The writer thread wakes every
// interval (or when a batch is full), writes what is queued in one transaction, and once a day
// removes the events older than keepDays. The queue is bounded: an event that finds it full is
// dropped. While another writer holds the store the thread keeps its batch and tries again at
// its next wake; a batch the store refuses otherwise is dropped (never retried, so a broken
// store cannot grow the queue). At a stop the thread tries its last batch for a second at most.
// Both are counted and said on stderr, at most one line a minute
// ("events: N not recorded: why").
//
// Repeated limited decisions (a swipe decision whose log line the log's rate limit governs) are
// merged: an identical one within a minute of the first adds to that row's count instead of
// adding a row. At most kMaxMergedKeys different ones take rows of their own in that time; the
// rest of a flood of forged datagrams adds to one row of decision "suppressed". So the table
// grows no faster than the log.
//
// A controller's report is kept as its class's last report at most once a minute per class.
// Any thread for record() and noteReport(); start(), stop() and writeQueued() from the owner.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/clock.h"
#include "events/event.h"

namespace brenlow {

inline constexpr int kDefaultKeepEventDays = 400;
inline constexpr size_t kMaxMergedKeys = 100;

class EventWriter {
 public:
  struct Options {
    int keepDays = kDefaultKeepEventDays;
    size_t capacity = 20000;  // events waiting to be written
    std::chrono::milliseconds interval{200};
  };

  // Writes to the store at databasePath. The clock stamps the events and must outlive the
  // writer.
  EventWriter(const Clock& clock, std::string databasePath, Options options);
  EventWriter(const Clock& clock, std::string databasePath)
      : EventWriter(clock, std::move(databasePath), Options{}) {}
  ~EventWriter();
  EventWriter(const EventWriter&) = delete;
  EventWriter& operator=(const EventWriter&) = delete;

  // Starts the writer thread.
  void start();
  // Stops the thread once it wrote what is queued (without a thread: writes it here).
  void stop();

  // Queues an event, stamped with the clock's time when it carries none.
  void record(Event event);
  // Notes that the class's controller reported now.
  void noteReport(const std::string& className);

  // Writes what is queued now, on the calling thread (for a writer that runs no thread, such
  // as the shell tool's). False when the store refused the batch.
  bool writeQueued();

  // Events lost so far (queue full, store refused). Any thread.
  uint64_t lost() const { return lost_.load(std::memory_order_acquire); }

 private:
  struct Queued {
    Event event;
    std::string mergeKey;  // empty: never merged
    uint64_t generation = 0;
  };
  struct Merge {
    int64_t rowId = 0;   // 0 until the first row is written
    uint64_t extra = 0;  // repeats not yet added to the row's count
    uint64_t generation = 0;
    std::chrono::steady_clock::time_point since;
  };
  struct Report {
    std::string className;
    std::string time;
  };

  void run();
  // Writes what is queued in one transaction. keepWhenBusy: waits for another writer only
  // briefly and, when it still holds the store, keeps everything queued (false returned).
  bool write(bool keepWhenBusy);
  void removeOldEvents();
  // Counts lost events and says so on stderr, at most once a minute.
  void noteLost(uint64_t count, const std::string& why);

  const Clock& clock_;
  const std::string path_;
  const Options options_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Queued> queue_;                              // guarded by mutex_, like what follows
  std::unordered_map<std::string, Merge> merges_;          // keyed by the decision's facts
  std::vector<std::pair<int64_t, uint64_t>> countsToAdd_;  // row and repeats, window closed
  std::unordered_map<std::string, std::chrono::steady_clock::time_point> reported_;
  std::vector<Report> reports_;
  uint64_t nextGeneration_ = 1;
  uint64_t droppedFull_ = 0;
  bool stopping_ = false;

  std::thread thread_;
  std::string retainedDate_;       // writer thread: the day old events were last removed
  std::string retentionSaidDate_;  // writer thread: the day a failed removal was last said
  std::atomic<uint64_t> lost_{0};
  std::mutex lostMutex_;
  uint64_t unsaidLost_ = 0;  // guarded by lostMutex_, like the next
  std::chrono::steady_clock::time_point lastSaid_{};
  bool saidOnce_ = false;
};

}  // namespace brenlow
