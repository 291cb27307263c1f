#include "app/server.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/network_workers.h"
#include "core/messages.h"
#include "data/store_preparation.h"
#include "events/event_log.h"
#include "events/event_time.h"
#include "events/server_state.h"
#include "net/limited_log.h"

namespace brenlow {

Server::Server(std::string listenAddress, const Clock& clock, Store store,
               size_t maxConnectionsPerAddress, int keepEventDays, CatchUpPolicy catchUp,
               bool replyCache)
    : listenAddress_(std::move(listenAddress)),
      maxConnectionsPerAddress_(maxConnectionsPerAddress),
      replyCache_(replyCache),
      clock_(clock),
      store_(std::move(store)),
      events_(clock, store_.path(), EventWriter::Options{.keepDays = keepEventDays}),
      workers_(clock),
      scheduler_(clock, store_, catchUp) {
  minuteTimer_.setInterval(kMinuteTimerMs);
  minuteTimer_.setTimerType(Qt::CoarseTimer);
  QObject::connect(&minuteTimer_, &QTimer::timeout, [this] { scheduler_.tick(); });
  logSweepTimer_.setInterval(kLogSweepMs);
  logSweepTimer_.setTimerType(Qt::CoarseTimer);
  QObject::connect(&logSweepTimer_, &QTimer::timeout, [] { SweepLimitedLines(); });
}

Server::~Server() {
  stop();
}

void Server::prepareStore() {
  ResetClassStatus(store_);
  CreateDefaultPeriods(store_);
  std::string error;
  if (!WriteServerState(store_.path(), kServerStartedName, EventTimeText(clock_.now()), &error))
    WriteStderrLine("start time not kept: " + error);
}

void Server::startWorkers() {
  InstallEventWriter(&events_);
  events_.start();
  workers_.start(
      NetworkWorkers(listenAddress_, clock_, store_, maxConnectionsPerAddress_, replyCache_));
}

void Server::startMinuteTimer() {
  minuteTimer_.start();
  logSweepTimer_.start();
}

void Server::stop() {
  minuteTimer_.stop();
  logSweepTimer_.stop();
  workers_.stopAll([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
  InstallEventWriter(nullptr);
  events_.stop();
  FinishLimitedLines();
}

}  // namespace brenlow
