#include "app/server.h"

#include <QCoreApplication>
#include <QEventLoop>

#include "app/network_workers.h"
#include "data/store_preparation.h"
#include "net/limited_log.h"

namespace brenlow {

Server::Server(std::string listenAddress, const Clock& clock, size_t maxConnectionsPerAddress)
    : listenAddress_(std::move(listenAddress)),
      maxConnectionsPerAddress_(maxConnectionsPerAddress),
      clock_(clock),
      scheduler_(clock) {
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
  ResetClassStatus();
  CreateDefaultPeriods();
}

void Server::startWorkers() {
  workers_.start(NetworkWorkers(listenAddress_, clock_, maxConnectionsPerAddress_));
}

void Server::startMinuteTimer() {
  minuteTimer_.start();
  logSweepTimer_.start();
}

void Server::stop() {
  minuteTimer_.stop();
  logSweepTimer_.stop();
  workers_.stopAll([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 5); });
  FinishLimitedLines();
}

}  // namespace brenlow
