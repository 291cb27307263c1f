// brenlow-controller: a classroom's central controller and PC shut-down agent on the command
// line. It sends the datagrams a controller sends (power state, card swipes) from a chosen
// local address, and listens on the command ports of a chosen address, printing what the
// server sends there. Tests use it against the real program; an administrator uses it to
// check a classroom's set-up.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "controllers/controller_commands.h"
#include "controllers/controller_datagram.h"
#include "core/help_layout.h"
#include "core/version.h"
#include "net/ports.h"
#include "net/readiness_wait.h"
#include "net/socket.h"

namespace brenlow {
namespace {

constexpr const char* kUsage =
    "Usage: brenlow-controller [--from ADDRESS] [--server HOST] [--port PORT] on|off\n"
    "  or:  brenlow-controller [...] card NUMBER [--times N] [--gap MS]\n"
    "  or:  brenlow-controller [...] raw HEX...\n"
    "  or:  brenlow-controller listen [--address ADDRESS] [--count N] [--seconds S]\n"
    "  or:  brenlow-controller --help | --version\n";

constexpr const char* kDescription =
    "Stands in for a classroom's central controller and the shut-down agent of its PC.";

// The options are described among the commands they go with.
constexpr const char* kCommands =
    "Sending (one datagram to the server's controller port, UDP 8234):\n"
    "  on              report the room as powered: EB 00 00 00 40 00 00 00\n"
    "  off             report the room as off:     EB 00 00 00 00 00 00 00\n"
    "  card NUMBER     swipe the card NUMBER as the server shows it (12-255-0-45):\n"
    "                  EB 66 01 DD and the four card bytes. Bit 0x40 of the first number is\n"
    "                  also the power state it reports (65-x-x-x: on, 1-x-x-x: off).\n"
    "    --times N     swipe N times (default 1), --gap MS apart (default 1000)\n"
    "  raw HEX...      any bytes, for example: raw EB 00 00 00 40\n"
    "  --from ADDRESS  the local address to send from (default: any). The server knows a\n"
    "                  controller only by this address: the class's controller address.\n"
    "  --server HOST   the server (default 127.0.0.1)\n"
    "  --port PORT     the server's controller port (default 8234)\n"
    "\n"
    "Listening (the commands a server sends to a classroom):\n"
    "  listen            bind UDP 20108 (controller commands) and 60123 (PC shut-down) of\n"
    "                    ADDRESS and print every datagram that arrives, one line each:\n"
    "                    20108 from 127.0.0.1: EB 00 01 01 00 A0 07 ED power on\n"
    "  --address ADDRESS the address to listen on (default 127.0.0.1)\n"
    "  --count N         end after N datagrams\n"
    "  --seconds S       end after S seconds (default: until interrupted)\n"
    "\n"
    "Exit status: 0 on success, 1 when a send or bind failed, 2 on a usage error.\n";

struct Options {
  std::string command;
  std::vector<std::string> values;  // the card number or raw bytes
  std::string from;
  std::string server = "127.0.0.1";
  uint16_t port = kControllerListenPort;
  int times = 1;
  int gapMs = 1000;
  std::string address = "127.0.0.1";
  long count = -1;
  long seconds = -1;
  bool help = false;
  bool version = false;
  std::string error;
};

bool ParseNumber(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < low || parsed > high)
    return false;
  *value = parsed;
  return true;
}

// The command and its values: every argument that does not start with "--" (and is no
// option's value).
bool IsWord(const std::string& argument) {
  return !argument.starts_with("--") && argument != "-h";
}

// The line's options, each applied to options when it is read. Their texts are in the commands'
// description.
std::unique_ptr<CLI::App> LineReader(Options* options, std::vector<std::string>* words) {
  auto app = std::make_unique<CLI::App>(kDescription, "brenlow-controller");
  app->set_help_flag();
  app->formatter(std::make_shared<HelpLayout>(kUsage, 18));
  app->footer(kCommands);
  auto text = [&](const std::string& name, std::string* field) {
    app->add_option_function<std::string>(name,
                                          [field](const std::string& value) { *field = value; })
        ->group("")
        ->trigger_on_parse();
  };
  auto number = [&](const std::string& name, long low, long high, auto apply) {
    app->add_option_function<std::string>(name,
                                          [apply](const std::string& text) {
                                            long value = 0;
                                            ParseNumber(text, 0, LONG_MAX, &value);
                                            apply(value);
                                          })
        ->check(Refusing(&options->error,
                         [name, low, high](const std::string& text) {
                           long value = 0;
                           return ParseNumber(text, low, high, &value)
                                      ? std::string()
                                      : name + ": not a number in range: " + text;
                         }))
        ->group("")
        ->trigger_on_parse();
  };
  text("--from", &options->from);
  text("--server", &options->server);
  text("--address", &options->address);
  number("--port", 1, 65535,
         [options](long value) { options->port = static_cast<uint16_t>(value); });
  number("--times", 0, 1000000,
         [options](long value) { options->times = static_cast<int>(value); });
  number("--gap", 0, 1000000, [options](long value) { options->gapMs = static_cast<int>(value); });
  number("--count", 0, 1000000, [options](long value) { options->count = value; });
  number("--seconds", 0, 1000000, [options](long value) { options->seconds = value; });
  app->add_flag_callback("-h,--help", [options] { options->help = true; })
      ->group("")
      ->trigger_on_parse();
  app->add_flag_callback("--version", [options] { options->version = true; })
      ->group("")
      ->trigger_on_parse();
  app->add_option("words", *words)->group("");
  return app;
}

std::string HelpText() {
  Options unused;
  std::vector<std::string> words;
  return LineReader(&unused, &words)->help();
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  std::vector<std::string> words;
  std::unique_ptr<CLI::App> reader = LineReader(&options, &words);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const size_t unknown = FirstUnknownOption(*reader, arguments, IsWord, false);
  // The options first, then the words after "--", so that none of them is taken for an option.
  std::vector<std::string> line;
  std::vector<std::string> lineWords;
  std::string valueMissing;  // the last argument, an option without its value
  for (size_t i = 0; i < unknown; ++i) {
    const CLI::Option* option = reader->get_option_no_throw(arguments[i]);
    if (option == nullptr || IsWord(arguments[i])) {
      lineWords.push_back(arguments[i]);
    } else if (option->get_items_expected_min() == 0) {
      line.push_back(arguments[i]);
    } else if (i + 1 < arguments.size()) {
      line.push_back(arguments[i]);
      line.push_back(arguments[++i]);
    } else {
      valueMissing = arguments[i];
    }
  }
  line.push_back("--");
  line.insert(line.end(), lineWords.begin(), lineWords.end());
  try {
    ParseInOrder(*reader, line);
  } catch (const CLI::ParseError& error) {
    if (options.error.empty())
      options.error = error.what();
  }
  if (options.help) {
    options.command = "help";
    return options;
  }
  if (options.version) {
    options.command = "version";
    return options;
  }
  if (options.error.empty() && !valueMissing.empty())
    options.error = valueMissing + " needs a value";
  if (options.error.empty() && unknown < arguments.size())
    options.error = "unknown option: " + arguments[unknown];
  if (!words.empty()) {
    options.command = words.front();
    options.values.assign(words.begin() + 1, words.end());
  }
  return options;
}

std::string HexText(const uint8_t* bytes, size_t size) {
  std::string text;
  char hex[4];
  for (size_t i = 0; i < size; ++i) {
    std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
    text += hex;
  }
  return text;
}

// What a command datagram means to the device that receives it.
std::string Meaning(uint16_t port, const std::vector<uint8_t>& bytes) {
  auto is = [&bytes](const auto& datagram) {
    return bytes.size() == datagram.size() &&
           std::equal(bytes.begin(), bytes.end(), datagram.begin());
  };
  if (port == kControllerPort) {
    if (is(PowerOnCommand()))
      return "power on";
    if (is(PowerOffCommand()))
      return "power off";
    if (is(CardPowerOffCommand()))
      return "card power off";
  } else if (port == kPcShutdownPort && is(PcShutdownDatagram())) {
    return "PC shut-down";
  }
  return "unknown";
}

int Listen(const Options& options) {
  std::string error;
  Socket controller = Socket::BindUdp(options.address, kControllerPort, &error);
  if (!controller.isOpen()) {
    std::fprintf(stderr, "brenlow-controller: %s\n", error.c_str());
    return 1;
  }
  Socket pc = Socket::BindUdp(options.address, kPcShutdownPort, &error);
  if (!pc.isOpen()) {
    std::fprintf(stderr, "brenlow-controller: %s\n", error.c_str());
    return 1;
  }
  controller.setNonBlocking(true);
  pc.setNonBlocking(true);
  std::string waitError;
  ReadinessWait wait(2, &waitError);
  if (!wait.isOpen() || !wait.add(controller.fd(), 0) || !wait.add(pc.fd(), 1)) {
    if (waitError.empty())
      waitError = ErrnoText("epoll_ctl", errno);
    std::fprintf(stderr, "brenlow-controller: %s\n", waitError.c_str());
    return 1;
  }
  std::printf("listening on %s ports %u and %u\n", options.address.c_str(), kControllerPort,
              kPcShutdownPort);
  std::fflush(stdout);

  const Socket* sockets[] = {&controller, &pc};
  const uint16_t ports[] = {kControllerPort, kPcShutdownPort};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.seconds);
  long received = 0;
  std::vector<ReadinessWait::Event> ready;
  while (options.count < 0 || received < options.count) {
    auto timeout = std::chrono::milliseconds(-1);
    if (options.seconds >= 0) {
      timeout =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (timeout.count() <= 0)
        break;
    }
    wait.wait(&ready, timeout);
    for (const ReadinessWait::Event& event : ready) {
      const size_t i = event.tag;
      std::vector<uint8_t> buffer(2048);
      std::optional<Socket::Datagram> datagram =
          sockets[i]->receiveFrom(buffer.data(), buffer.size());
      if (!datagram)
        continue;
      buffer.resize(std::min(datagram->size, buffer.size()));
      std::printf("%u from %s: %s %s\n", ports[i], datagram->sender.c_str(),
                  HexText(buffer.data(), buffer.size()).c_str(), Meaning(ports[i], buffer).c_str());
      std::fflush(stdout);
      ++received;
    }
  }
  return 0;
}

int Send(const Options& options) {
  std::vector<uint8_t> datagram;
  if (options.command == "on" || options.command == "off") {
    if (!options.values.empty())
      return -1;
    datagram = PowerStateDatagram(options.command == "on");
  } else if (options.command == "card") {
    if (options.values.size() != 1)
      return -1;
    std::optional<CardBytes> card = ParseCardNumber(options.values[0]);
    if (!card) {
      std::fprintf(stderr,
                   "brenlow-controller: not a card number: %s; see brenlow-controller --help\n",
                   options.values[0].c_str());
      return 2;
    }
    datagram = CardDatagram(*card);
  } else if (options.command == "raw") {
    for (const std::string& value : options.values) {
      long byte = 0;
      char* end = nullptr;
      byte = std::strtol(value.c_str(), &end, 16);
      if (value.empty() || value.size() > 2 || *end != '\0' || byte < 0) {
        std::fprintf(stderr,
                     "brenlow-controller: not a hex byte: %s; see brenlow-controller --help\n",
                     value.c_str());
        return 2;
      }
      datagram.push_back(static_cast<uint8_t>(byte));
    }
    if (datagram.empty())
      return -1;
  } else {
    return -1;
  }
  std::string error;
  Socket socket = Socket::BindUdp(options.from, 0, &error);
  if (!socket.isOpen()) {
    std::fprintf(stderr, "brenlow-controller: %s\n", error.c_str());
    return 1;
  }
  int times = options.command == "card" ? options.times : 1;
  for (int i = 0; i < times; ++i) {
    if (i > 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(options.gapMs));
    if (socket.sendTo(options.server, options.port, datagram.data(), datagram.size(), &error) !=
        static_cast<long>(datagram.size())) {
      std::fprintf(stderr, "brenlow-controller: %s\n", error.c_str());
      return 1;
    }
    std::printf("sent to %s:%u: %s\n", options.server.c_str(), options.port,
                HexText(datagram.data(), datagram.size()).c_str());
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace
}  // namespace brenlow

int main(int argc, char** argv) {
  using namespace brenlow;
  Options options = ParseOptions(argc, argv);
  if (options.command == "help") {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  if (options.command == "version") {
    std::fputs(VersionLine("brenlow-controller").c_str(), stdout);
    return 0;
  }
  int result = -1;
  if (options.error.empty()) {
    result =
        options.command == "listen" && options.values.empty() ? Listen(options) : Send(options);
  }
  if (result == -1) {
    if (options.error.empty()) {
      options.error = options.command.empty() ? "no command" : "wrong use of " + options.command;
    }
    std::fprintf(stderr, "brenlow-controller: %s; see brenlow-controller --help\n",
                 options.error.c_str());
    return 2;
  }
  return result;
}
