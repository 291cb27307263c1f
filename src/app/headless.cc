#include "app/headless.h"

#include <QCoreApplication>

#include "app/server.h"
#include "app/termination_signals.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/shared_state.h"
#include "data/database.h"

namespace brenlow {

int RunHeadless(int argc, char** argv, const CommandLine& line, const Store& store) {
  QCoreApplication application(argc, argv);
  // Failures are written to stderr, one line each: no handler is installed.
  InstallMessageHandler(nullptr);
  LimitMissingStoreMessages();
  teacherDialogOpen = 0;
  SystemClock clock;
  Server server(line.listenAddress, clock, store, line.maxConnectionsPerAddress, line.keepEventDays,
                line.catchUp, line.replyCache);
  TerminationSignals terminationSignals([&] { application.quit(); });
  WriteStderrLine("headless server starting on database " + store.path());
  server.prepareStore();
  server.startWorkers();
  server.startMinuteTimer();
  int code = application.exec();
  server.stop();
  WriteStderrLine("headless server stopped");
  return code;
}

}  // namespace brenlow
