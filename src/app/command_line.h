// The command line of brenlow.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "events/event_writer.h"
#include "net/connection_limits.h"
#include "schedule/catch_up.h"

namespace brenlow {

struct CommandLine {
  enum class Mode { kDesktop, kHeadless, kInitDatabase, kSetCredentials, kHelp, kVersion };
  Mode mode = Mode::kDesktop;
  std::string databasePath;               // --database PATH; empty: the fixed path
  std::string initDatabasePath;           // --init-database PATH
  std::string listenAddress = "0.0.0.0";  // --listen ADDRESS: where the services listen
  size_t maxConnectionsPerAddress = kDefaultMaxConnectionsPerAddress;  // per port
  std::string credentialsPath;  // --credentials PATH; empty: where the program keeps it
  int keepEventDays = kDefaultKeepEventDays;         // --keep-events DAYS
  CatchUpPolicy catchUp = CatchUpPolicy::kPowerOff;  // --catch-up off|power-off|all
  bool replyCache = true;                            // false: --no-reply-cache
  std::string error;                                 // set when the arguments are not understood
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string HelpText();

}  // namespace brenlow
