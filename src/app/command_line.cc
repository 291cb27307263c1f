#include "app/command_line.h"

#include "app/credentials_location.h"
#include "data/database_path.h"

namespace brenlow {
namespace {

bool ParseConnectionLimit(const std::string& text, size_t* limit) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  size_t value = std::stoul(text);
  if (value < 1 || value > 100000)
    return false;
  *limit = value;
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  auto valueOf = [&](size_t* i, const std::string& option) -> std::string {
    if (*i + 1 >= arguments.size() || arguments[*i + 1].empty()) {
      line.error = option + " needs a value";
      return std::string();
    }
    return arguments[++*i];
  };
  for (size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      line.mode = CommandLine::Mode::kHelp;
    } else if (argument == "--headless") {
      if (line.mode == CommandLine::Mode::kDesktop)
        line.mode = CommandLine::Mode::kHeadless;
    } else if (argument == "--database") {
      line.databasePath = valueOf(&i, argument);
    } else if (argument == "--init-database") {
      line.initDatabasePath = valueOf(&i, argument);
      if (line.mode != CommandLine::Mode::kHelp)
        line.mode = CommandLine::Mode::kInitDatabase;
    } else if (argument == "--listen") {
      line.listenAddress = valueOf(&i, argument);
    } else if (argument == "--max-connections-per-address") {
      const std::string value = valueOf(&i, argument);
      if (line.error.empty() && !ParseConnectionLimit(value, &line.maxConnectionsPerAddress))
        line.error = argument + " needs a whole number from 1 to 100000, not " + value;
    } else if (argument == "--credentials") {
      line.credentialsPath = valueOf(&i, argument);
    } else if (argument == "--set-credentials") {
      if (line.mode != CommandLine::Mode::kHelp)
        line.mode = CommandLine::Mode::kSetCredentials;
    } else {
      line.error = "unknown argument: " + argument;
    }
  }
  return line;
}

std::string HelpText() {
  return std::string(
             "Usage: brenlow [--headless] [--database PATH] [--listen ADDRESS]\n"
             "               [--max-connections-per-address N]\n"
             "       brenlow --init-database PATH\n"
             "       brenlow --set-credentials [--credentials PATH]\n"
             "\n"
             "The timetable server of a school's networked classrooms.\n"
             "\n"
             "  (no option)           start the desktop program: login, then the timetable "
             "window\n"
             "  --headless            run the same server without windows or login until "
             "SIGINT or\n"
             "                        SIGTERM\n"
             "  --database PATH       use the database at PATH instead of ") +
         kDefaultDatabasePath +
         "\n"
         "  --listen ADDRESS      listen on this local IPv4 address only (default 0.0.0.0, "
         "every\n"
         "                        address)\n"
         "  --max-connections-per-address N\n"
         "                        connections one address may hold on each terminal port "
         "(default\n"
         "                        64; more for terminals sharing one address behind NAT)\n"
         "  --init-database PATH  create a new, empty database at PATH and exit; an existing "
         "file\n"
         "                        is refused and left untouched\n"
         "  --set-credentials     ask for the desktop login's user name and password (twice,\n"
         "                        without echo) and write them to the credentials file; without\n"
         "                        a terminal, read them as two lines from standard input\n"
         "  --credentials PATH    keep the desktop login's credentials in PATH instead of\n"
         "                        " +
         InstalledCredentialsFile() +
         " (an installed program) or beside\n"
         "                        the program (its path with .ini in place of its extension)\n"
         "  --help                print this text\n"
         "\n"
         "Ports: UDP 8234 controller reports and card swipes; TCP 64124 classroom terminals "
         "(class,\n"
         "periods, courses, password); TCP 62124 terminal edits and the teacher list. Commands "
         "go to\n"
         "controllers on UDP 20108 and to classroom PCs on UDP 60123.\n"
         "One copy serves a computer. A desktop program started while another copy runs edits the\n"
         "same database beside it (no ports, no scheduler); a second headless copy exits with\n"
         "status 1.\n";
}

}  // namespace brenlow
