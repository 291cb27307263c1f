// brenlow: parses the command line and starts the desktop program, the headless server or the
// creation of a new database.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/desktop.h"
#include "app/headless.h"
#include "app/single_instance.h"
#include "data/database_path.h"
#include "data/schema.h"

#if defined(__SANITIZE_ADDRESS__)
// In the sanitizer build: one-time allocations inside system libraries (the desktop bus, font
// caches, the platform plugins) are not leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libQt6Gui\nleak:libQt6Core\nleak:libQt6Widgets\n"
         "leak:libQt6XcbQpa\nleak:libdbus\nleak:libglib\nleak:libgobject\nleak:libxcb\n";
}
#endif

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
    case CommandLine::Mode::kInitDatabase: {
      std::string error;
      if (!brenlow::CreateDatabase(line.initDatabasePath, &error)) {
        std::fprintf(stderr, "brenlow: %s\n", error.c_str());
        return 1;
      }
      return 0;
    }
    case CommandLine::Mode::kDesktop:
    case CommandLine::Mode::kHeadless:
      break;
  }
  if (!line.databasePath.empty())
    brenlow::SetDatabasePath(line.databasePath);
  brenlow::SingleInstance instance;
  if (!instance.acquire())
    return 0;  // another copy runs: end at once, silently
  return line.mode == CommandLine::Mode::kHeadless ? brenlow::RunHeadless(argc, argv, line)
                                                   : brenlow::RunDesktop(argc, argv, line);
}
