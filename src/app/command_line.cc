#include "app/command_line.h"

#include <memory>

#include "app/default_database.h"
#include "core/help_layout.h"
#include "credentials/credentials_location.h"

namespace brenlow {
namespace {

constexpr const char* kUsage =
    "Usage: brenlow [--headless] [--database PATH] [OPTION]...\n"
    "  or:  brenlow --init-database PATH\n"
    "  or:  brenlow --set-credentials [--credentials PATH]\n"
    "  or:  brenlow --help | --version\n";

constexpr const char* kFooter =
    "Ports: UDP 8234 controller reports and card swipes; TCP 64124 classroom terminals (class,\n"
    "periods, courses, password); TCP 62124 terminal edits and the teacher list. Commands go to\n"
    "controllers on UDP 20108 and to classroom PCs on UDP 60123.\n"
    "One copy serves a database (lock: the database's path with \".lock\"). A desktop program\n"
    "started while another copy runs edits the same database beside it (no ports, no\n"
    "scheduler); a second headless copy exits with status 1.\n";

// A whole number from 1 to most, written in decimal digits only.
bool ParseCount(const std::string& text, size_t most, size_t* count) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  size_t value = std::stoul(text);
  if (value < 1 || value > most)
    return false;
  *count = value;
  return true;
}

bool ParseConnectionLimit(const std::string& text, size_t* limit) {
  return ParseCount(text, 100000, limit);
}

// Events are kept at least a day and at most a hundred years.
constexpr size_t kMostKeepEventDays = 36500;

// Every argument of brenlow's line is an option or an option's value.
bool NoWord(const std::string&) {
  return false;
}

// The line's options, each applied to line when it is read. A refused value leaves its
// reason in line->error.
std::unique_ptr<CLI::App> LineReader(CommandLine* line) {
  auto app = std::make_unique<CLI::App>("The timetable server of a school's networked classrooms.",
                                        "brenlow");
  app->set_help_flag();
  app->formatter(std::make_shared<HelpLayout>(
      kUsage, 24,
      std::vector<std::pair<std::string, std::string>>{
          {"(no option)", "start the desktop program: login, then the timetable window"}}));
  app->footer(kFooter);
  using Mode = CommandLine::Mode;
  auto needsValue = [line](const std::string& option) {
    return Refusing(&line->error, [option](const std::string& value) {
      return value.empty() ? option + " needs a value" : std::string();
    });
  };
  auto text = [&](const std::string& option, std::string* field, const char* valueText,
                  const std::string& description) {
    app->add_option_function<std::string>(
           option, [field](const std::string& value) { *field = value; }, description)
        ->check(needsValue(option))
        ->option_text(valueText)
        ->trigger_on_parse();
  };

  app->add_flag_callback(
         "--headless",
         [line] {
           if (line->mode == Mode::kDesktop)
             line->mode = Mode::kHeadless;
         },
         "run the same server without windows or login until SIGINT or\nSIGTERM")
      ->trigger_on_parse();
  text("--database", &line->databasePath, "PATH",
       std::string("use the database at PATH instead of ") + kDefaultDatabasePath);
  text("--listen", &line->listenAddress, "ADDRESS",
       "listen on this local IPv4 address only (default 0.0.0.0, every\naddress)");
  const std::string limit = "--max-connections-per-address";
  app->add_option_function<std::string>(
         limit,
         [line](const std::string& value) {
           ParseConnectionLimit(value, &line->maxConnectionsPerAddress);
         },
         "connections one address may hold on each terminal port (default\n64; more for "
         "terminals sharing one address behind NAT)")
      ->check(needsValue(limit))
      ->check(Refusing(&line->error,
                       [limit](const std::string& value) {
                         size_t checked = 0;
                         return ParseConnectionLimit(value, &checked)
                                    ? std::string()
                                    : limit + " needs a whole number from 1 to 100000, not " +
                                          value;
                       }))
      ->option_text("N")
      ->trigger_on_parse();
  const std::string keep = "--keep-events";
  app->add_option_function<std::string>(
         keep,
         [line](const std::string& value) {
           size_t days = 0;
           if (ParseCount(value, kMostKeepEventDays, &days))
             line->keepEventDays = static_cast<int>(days);
         },
         "remove recorded events older than DAYS days, once a day (default\n" +
             std::to_string(kDefaultKeepEventDays) + ")")
      ->check(needsValue(keep))
      ->check(Refusing(&line->error,
                       [keep](const std::string& value) {
                         size_t checked = 0;
                         return ParseCount(value, kMostKeepEventDays, &checked)
                                    ? std::string()
                                    : keep + " needs a whole number of days from 1 to " +
                                          std::to_string(kMostKeepEventDays) + ", not " + value;
                       }))
      ->option_text("DAYS")
      ->trigger_on_parse();
  app->add_option_function<std::string>(
         "--catch-up",
         [line](const std::string& value) {
           line->catchUp = CatchUpPolicyNamed(value).value_or(line->catchUp);
         },
         "after an outage earlier the same day, at the first minute: off\n(nothing), "
         "power-off (default: switch off the rooms whose\nperiods ended meanwhile, unless a "
         "lesson runs now) or all\n(also switch on the rooms whose lesson began meanwhile)")
      ->check(needsValue("--catch-up"))
      ->check(Refusing(&line->error,
                       [](const std::string& value) {
                         return CatchUpPolicyNamed(value)
                                    ? std::string()
                                    : "--catch-up needs off, power-off or all, not " + value;
                       }))
      ->option_text("POLICY")
      ->trigger_on_parse();
  app->add_flag_callback(
         "--no-reply-cache", [line] { line->replyCache = false; },
         "answer every terminal request from the database; without it,\nrepeated questions on "
         "ports 64124 and 62124 are answered from\nmemory while the database is unchanged")
      ->trigger_on_parse();
  app->add_option_function<std::string>(
         "--init-database",
         [line](const std::string& path) {
           line->initDatabasePath = path;
           if (line->mode != Mode::kHelp)
             line->mode = Mode::kInitDatabase;
         },
         "create a new, empty database at PATH and exit; an existing file\nis refused and left "
         "untouched")
      ->check(needsValue("--init-database"))
      ->option_text("PATH")
      ->trigger_on_parse();
  app->add_flag_callback(
         "--set-credentials",
         [line] {
           if (line->mode != Mode::kHelp)
             line->mode = Mode::kSetCredentials;
         },
         "ask for the desktop login's user name and password (twice,\nwithout echo) and write "
         "them to the credentials file; without\na terminal, read them as two lines from "
         "standard input")
      ->trigger_on_parse();
  text("--credentials", &line->credentialsPath, "PATH",
       "keep the desktop login's credentials in PATH instead of\n" + InstalledCredentialsFile() +
           " (an installed program) or beside\nthe program (its path with .ini in place of its "
           "extension)");
  app->add_flag_callback(
         "-h,--help", [line] { line->mode = Mode::kHelp; }, "print this text")
      ->trigger_on_parse();
  app->add_flag_callback(
         "--version",
         [line] {
           if (line->mode != Mode::kHelp)
             line->mode = Mode::kVersion;
         },
         "print the version")
      ->trigger_on_parse();
  return app;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  std::unique_ptr<CLI::App> reader = LineReader(&line);
  const size_t unknown = ReadOptions(*reader, arguments, NoWord, false, &line.error);
  if (!line.error.empty())
    return line;
  if (unknown < arguments.size())
    line.error = "unknown argument: " + arguments[unknown];
  return line;
}

std::string HelpText() {
  CommandLine line;
  return LineReader(&line)->help();
}

}  // namespace brenlow
