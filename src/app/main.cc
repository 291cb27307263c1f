// brenlow: parses the command line and starts the desktop program, the headless server, the
// creation of a new database or the setting of the credentials.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/default_database.h"
#include "app/desktop.h"
#include "app/headless.h"
#include "app/single_instance.h"
#include "core/messages.h"
#include "core/version.h"
#include "credentials/credentials_location.h"
#include "credentials/set_credentials.h"
#include "data/schema.h"
#include "data/store.h"

int main(int argc, char** argv) {
  // A peer that went away, or a closed stderr pipe (a service manager restarted, a pipeline
  // ended), must show up as a failed write, never end the server.
  std::signal(SIGPIPE, SIG_IGN);
  using brenlow::CommandLine;
  CommandLine line = brenlow::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.error.empty()) {
    std::fprintf(stderr, "brenlow: %s\n\n%s", line.error.c_str(), brenlow::HelpText().c_str());
    return 2;
  }
  switch (line.mode) {
    case CommandLine::Mode::kHelp:
      std::fputs(brenlow::HelpText().c_str(), stdout);
      return 0;
    case CommandLine::Mode::kVersion:
      std::fputs(brenlow::VersionLine("brenlow").c_str(), stdout);
      return 0;
    case CommandLine::Mode::kInitDatabase: {
      std::string error;
      if (!brenlow::CreateDatabase(line.initDatabasePath, &error)) {
        std::fprintf(stderr, "brenlow: %s\n", error.c_str());
        return 1;
      }
      std::printf("brenlow: %s\n", brenlow::NewDatabaseText(line.initDatabasePath).c_str());
      return 0;
    }
    case CommandLine::Mode::kSetCredentials:
      return brenlow::RunSetCredentials(
          brenlow::CredentialsFileOfThisProgram(line.credentialsPath));
    case CommandLine::Mode::kDesktop:
    case CommandLine::Mode::kHeadless:
      break;
  }
  // The one place that knows the default path; everything else is handed the store.
  const brenlow::Store store(line.databasePath.empty() ? brenlow::kDefaultDatabasePath
                                                       : line.databasePath);
  const bool headless = line.mode == CommandLine::Mode::kHeadless;
  auto role = brenlow::DesktopRole::kServer;
  brenlow::SingleInstance instance(store.path());
  switch (instance.acquire()) {
    case brenlow::SingleInstance::Result::kAcquired:
      break;
    case brenlow::SingleInstance::Result::kTaken:
      // A second server would fight the first for the ports; say why, so that systemd shows it.
      if (headless) {
        brenlow::WriteStderrLine("another copy of brenlow is running");
        return 1;
      }
      role = brenlow::DesktopRole::kEditor;
      break;
    case brenlow::SingleInstance::Result::kFailed:
      // Nobody is known to run: serving is better than refusing to start.
      brenlow::WriteStderrLine("single-instance check failed (" + instance.error() +
                               "); starting anyway");
      break;
  }
  return headless ? brenlow::RunHeadless(argc, argv, line, store)
                  : brenlow::RunDesktop(argc, argv, line, store, role);
}
