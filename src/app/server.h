// The part of start-up that the desktop program and the headless server share: preparing the
// store, the three worker threads and the minute timer. Runs on the user-interface thread.
#pragma once

#include <QTimer>
#include <memory>
#include <string>

#include "app/workers.h"
#include "core/clock.h"
#include "data/store.h"
#include "events/event_writer.h"
#include "schedule/minute_scheduler.h"

namespace brenlow {

// Timer 1 of the main window: one tick every 60000 ms, the first 60 s after the start.
inline constexpr int kMinuteTimerMs = 60000;
// How often the log looks for suppressed lines to sum up.
inline constexpr int kLogSweepMs = 1000;

class Server {
 public:
  // Each terminal port lets one peer address hold maxConnectionsPerAddress connections; events
  // are kept keepEventDays days; the first minute catches up an outage by catchUp; replyCache
  // lets the terminal ports answer from memory while the store is unchanged.
  Server(std::string listenAddress, const Clock& clock, Store store,
         size_t maxConnectionsPerAddress, int keepEventDays = kDefaultKeepEventDays,
         CatchUpPolicy catchUp = CatchUpPolicy::kPowerOff, bool replyCache = true);
  ~Server();

  // Every class's Status becomes 0; an empty period table gets blank periods; the start time is
  // kept (a room that has not reported since has an unknown power state).
  void prepareStore();
  // The event writer, then the controller listener and the loops of ports 64124 and 62124,
  // each after its delay.
  void startWorkers();
  // Starts the minute timer, whose ticks run the scheduler on this thread, and the log's sweep.
  void startMinuteTimer();
  // Stops the timers and the workers (at the end of the process), keeping the event loop turning
  // while the workers finish (see Workers::stopAll), then writes what the log still counts.
  void stop();

 private:
  std::string listenAddress_;
  size_t maxConnectionsPerAddress_;
  bool replyCache_;
  const Clock& clock_;
  const Store store_;
  // Installed as the process's event writer from startWorkers() to stop().
  EventWriter events_;
  Workers workers_;
  // Remembers the minutes acted on across ticks and, in the store, across runs, so that each
  // minute acts at most once and an outage is caught up.
  MinuteScheduler scheduler_;
  QTimer minuteTimer_;
  // Sums up the suppressed log lines of a flood that stopped (net/limited_log.h).
  QTimer logSweepTimer_;
};

}  // namespace brenlow
