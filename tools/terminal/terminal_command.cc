#include "tools/terminal/terminal_command.h"

#include <charconv>
#include <functional>
#include <memory>

#include "core/help_layout.h"
#include "net/ports.h"
#include "net/wire_text.h"
#include "terminals/client_records.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

bool ParseInt(const std::string& text, int64_t low, int64_t high, int64_t* value) {
  const char* end = text.data() + text.size();
  auto [stop, failure] = std::from_chars(text.data(), end, *value);
  return failure == std::errc() && stop == end && *value >= low && *value <= high;
}

// Puts the command's addresses into the header of bytes (the edits carry them unused).
void PutAddresses(const TerminalCommand& command, std::string& bytes) {
  TerminalRequest header;
  for (size_t i = 0; i < command.addresses.size(); ++i)
    header.slots[i] = command.addresses[i];
  header.kind = command.kind;
  bytes.replace(0, kTerminalRequestSize, TerminalRequestBytes(header));
}

// The most UTF-16 code units each text of an edit holds: its field of the layouts in
// terminals/client_records.h less the terminator.
constexpr size_t kClassUnits = 19;
constexpr size_t kTimeUnits = 2;
constexpr size_t kTeacherUnits = 39;
constexpr size_t kWeekUnits = 3;
constexpr size_t kCourseUnits = 49;

// A text that does not fit its field would be cut on the wire and could name another class or
// weekday than the one meant: refused. Its room is the field's code units less the terminator.
void CheckFits(const std::string& text, const char* what, size_t maxUnits, std::string* error) {
  if (error->empty() && Utf8ToUtf16(text).size() > maxUnits) {
    *error =
        std::string(what) + " has at most " + std::to_string(maxUnits) + " characters: " + text;
  }
}

int32_t Int32(const std::string& text, const char* what, std::string* error) {
  int64_t value = 0;
  if (!ParseInt(text, INT32_MIN, INT32_MAX, &value))
    *error = std::string(what) + " must be an integer: " + text;
  return static_cast<int32_t>(value);
}

void BuildRequest(TerminalCommand& command, const std::vector<std::string>& fields) {
  struct Known {
    const char* name;
    bool clientPort;
    int32_t kind;
    size_t fieldCount;
  };
  static const Known kRequests[] = {
      {"class-name", false, kClassNameKind, 0},  {"periods", false, kPeriodsKind, 0},
      {"courses", false, kCoursesKind, 0},       {"password", false, kPasswordKind, 0},
      {"teachers", true, kTeacherListKind, 0},   {"edit-period", true, kPeriodEditKind, 10},
      {"edit-course", true, kCourseEditKind, 7},
  };
  const Known* known = nullptr;
  for (const Known& candidate : kRequests) {
    if (command.request == candidate.name)
      known = &candidate;
  }
  if (known == nullptr) {
    command.error = "unknown request: " + command.request;
    return;
  }
  if (fields.size() != known->fieldCount) {
    command.error = command.request + " takes " + std::to_string(known->fieldCount) +
                    " fields, not " + std::to_string(fields.size());
    return;
  }
  command.clientPort = known->clientPort;
  command.kind = known->kind;
  if (command.port == 0)
    command.port = known->clientPort ? kClientPort : kTerminalPort;
  command.answered = !(known->clientPort && known->kind != kTeacherListKind);
  if (known->kind == kPeriodEditKind && known->clientPort) {
    PeriodEditRequest edit;
    edit.bjName = fields[0];
    edit.week = fields[1];
    edit.row = Int32(fields[2], "ROW", &command.error);
    edit.startH = fields[3];
    edit.startM = fields[4];
    edit.endH = fields[5];
    edit.endM = fields[6];
    edit.thName = fields[7];
    edit.autoOn = Int32(fields[8], "AUTO_ON", &command.error);
    edit.autoOff = Int32(fields[9], "AUTO_OFF", &command.error);
    CheckFits(edit.bjName, "CLASS", kClassUnits, &command.error);
    CheckFits(edit.week, "WEEK", kWeekUnits, &command.error);
    CheckFits(edit.startH, "START_H", kTimeUnits, &command.error);
    CheckFits(edit.startM, "START_M", kTimeUnits, &command.error);
    CheckFits(edit.endH, "END_H", kTimeUnits, &command.error);
    CheckFits(edit.endM, "END_M", kTimeUnits, &command.error);
    CheckFits(edit.thName, "TEACHER", kTeacherUnits, &command.error);
    command.bytes = PeriodEditRequestBytes(edit);
  } else if (known->kind == kCourseEditKind && known->clientPort) {
    CourseEditRequest edit;
    edit.bjName = fields[0];
    edit.row = Int32(fields[1], "ROW", &command.error);
    CheckFits(edit.bjName, "CLASS", kClassUnits, &command.error);
    static const char* const kDayNames[5] = {"MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY",
                                             "FRIDAY"};
    for (size_t day = 0; day < 5; ++day) {
      edit.days[day] = fields[2 + day];
      CheckFits(edit.days[day], kDayNames[day], kCourseUnits, &command.error);
    }
    command.bytes = CourseEditRequestBytes(edit);
  } else {
    command.bytes = std::string(kTerminalRequestSize, '\0');
  }
  PutAddresses(command, command.bytes);
}

}  // namespace

namespace {

constexpr const char* kUsage =
    "Usage: brenlow-terminal [OPTION]... REQUEST [FIELDS]\n"
    "  or:  brenlow-terminal --help | --version\n";

constexpr const char* kRequests =
    "Requests on port 64124 (answered for a known hardware address):\n"
    "  class-name      the class's name\n"
    "  periods         the class's periods, every weekday\n"
    "  courses         the class's course names\n"
    "  password        the class's password\n"
    "Requests on port 62124:\n"
    "  teachers        every teacher (for a known hardware address)\n"
    "  edit-period CLASS WEEK ROW START_H START_M END_H END_M TEACHER AUTO_ON AUTO_OFF\n"
    "                  rewrites period ROW (0 is the first) of CLASS on WEEK (星期一 to\n"
    "                  星期五); the server does not answer\n"
    "  edit-course CLASS ROW MONDAY TUESDAY WEDNESDAY THURSDAY FRIDAY\n"
    "                  rewrites course row ROW (0 is the first) of CLASS; no answer\n"
    "\n"
    "Exit status: 0 answered (or edit sent), 1 no answer, 2 bad arguments or no connection.\n";

// The request and its fields: the first argument that is no option, and all after it.
bool IsRequest(const std::string& argument) {
  return argument.rfind("-", 0) != 0;
}

// A whole number from low to high, refused with "<option> needs <what>: <text>".
std::function<std::string(const std::string&)> Number(const std::string& option, int64_t low,
                                                      int64_t high, const std::string& what) {
  return [=](const std::string& text) {
    int64_t number = 0;
    return ParseInt(text, low, high, &number) ? std::string()
                                              : option + " needs " + what + ": " + text;
  };
}

// The line's options, each applied to command when it is read.
std::unique_ptr<CLI::App> LineReader(TerminalCommand* command) {
  auto app = std::make_unique<CLI::App>(
      "Asks the timetable server what a classroom terminal asks, and prints the reply.",
      "brenlow-terminal");
  app->set_help_flag();
  app->formatter(std::make_shared<HelpLayout>(kUsage, 18));
  app->footer(kRequests);
  app->prefix_command();
  app->add_option_function<std::string>(
         "--host", [command](const std::string& host) { command->host = host; },
         "the server (default 127.0.0.1)")
      ->option_text("HOST")
      ->trigger_on_parse();
  app->add_option_function<std::string>(
         "--port",
         [command](const std::string& text) {
           int64_t number = 0;
           ParseInt(text, 1, 65535, &number);
           command->port = static_cast<uint16_t>(number);
         },
         "another port than the request's own (64124 or 62124)")
      ->check(Refusing(&command->error, Number("--port", 1, 65535, "a port number")))
      ->option_text("PORT")
      ->trigger_on_parse();
  app->add_option_function<std::string>(
         "--mac", [command](const std::string& address) { command->addresses.push_back(address); },
         "a hardware address of this terminal, as the class list holds it;\nup to three, in slot "
         "order (a missing slot is empty)")
      ->check(Refusing(&command->error,
                       [command](const std::string& address) {
                         if (command->addresses.size() == kAddressSlotCount)
                           return std::string("at most three hardware addresses");
                         if (address.size() >= kAddressSlotWidth)
                           return "a hardware address has at most 31 bytes: " + address;
                         return std::string();
                       }))
      ->option_text("ADDRESS")
      ->trigger_on_parse();
  app->add_option_function<std::string>(
         "--wait",
         [command](const std::string& text) {
           int64_t number = 0;
           ParseInt(text, 1, 600000, &number);
           command->quiet = std::chrono::milliseconds(number);
         },
         "a reply has ended when nothing arrived for MS ms (default 500)")
      ->check(Refusing(&command->error, Number("--wait", 1, 600000, "milliseconds")))
      ->option_text("MS")
      ->trigger_on_parse();
  app->add_flag_callback(
         "-h,--help", [command] { command->help = true; }, "print this text")
      ->trigger_on_parse();
  app->add_flag_callback(
         "--version", [command] { command->version = true; }, "print the version")
      ->trigger_on_parse();
  return app;
}

}  // namespace

TerminalCommand ParseTerminalCommand(const std::vector<std::string>& arguments) {
  TerminalCommand command;
  std::unique_ptr<CLI::App> reader = LineReader(&command);
  // An empty argument where an option belongs is nothing: neither an option nor the request.
  std::vector<std::string> line;
  size_t i = 0;
  for (; i < arguments.size() && (arguments[i].empty() || !IsRequest(arguments[i])); ++i) {
    const CLI::Option* option = reader->get_option_no_throw(arguments[i]);
    if (!arguments[i].empty())
      line.push_back(arguments[i]);
    if (option != nullptr && option->get_items_expected_min() > 0 && i + 1 < arguments.size())
      line.push_back(arguments[++i]);
  }
  line.insert(line.end(), arguments.begin() + static_cast<std::ptrdiff_t>(i), arguments.end());
  const size_t unknown = ReadOptions(*reader, line, IsRequest, true, &command.error);
  if (!command.error.empty())
    return command;
  if (unknown < line.size()) {
    command.error = "unknown option: " + line[unknown];
    return command;
  }
  std::vector<std::string> fields = reader->remaining();
  if (!fields.empty()) {
    command.request = fields.front();
    fields.erase(fields.begin());
  }
  if (command.help || command.version)
    return command;
  if (command.request.empty()) {
    command.error = "no request given";
    return command;
  }
  BuildRequest(command, fields);
  return command;
}

std::string TerminalHelpText() {
  TerminalCommand command;
  return LineReader(&command)->help();
}

}  // namespace brenlow
