// The command lines of brenlow, brenlow-terminal and brenlow-controller as a shell sees them:
// exit statuses, the help on stdout, and a refused line's one error followed by the help on
// stderr. Nothing here starts a server or listens; datagrams go to the discard port.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "support/program.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;

struct Outcome {
  int code;
  std::string output;
  std::string errors;
};

Outcome Start(const std::string& path, const std::vector<std::string>& arguments) {
  Program program(path, arguments);
  int code = program.wait(30s);
  return {code, program.output(), program.errors()};
}

std::string PathOf(const std::string& name) {
  return name == "brenlow" ? testing::ProgramPath() : testing::ToolPath(name);
}

// --help and -h print the help on stdout and end well; a refused line prints
// "<program>: <error>", a blank line and the same help on stderr, and ends with status 2.
TEST(CommandLines, HelpOnStdoutAndRefusalsWithTheHelpOnStderr) {
  struct Case {
    std::string program;
    std::vector<std::string> refused;
    std::string error;
  };
  const Case cases[] = {
      {"brenlow", {"--bogus"}, "unknown argument: --bogus"},
      {"brenlow", {"--help", "--listen"}, "--listen needs a value"},
      {"brenlow",
       {"--max-connections-per-address", "100001"},
       "--max-connections-per-address needs a whole number from 1 to 100000, not 100001"},
      {"brenlow-terminal", {"--wait", "0", "periods"}, "--wait needs milliseconds: 0"},
      {"brenlow-terminal", {"--port=1", "periods"}, "unknown option: --port=1"},
      {"brenlow-controller", {"--bogus", "--help"}, "unknown option: --bogus"},
      {"brenlow-controller", {"on", "--port"}, "--port needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + " " + ::testing::PrintToString(c.refused));
    Outcome help = Start(PathOf(c.program), {"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.output.rfind("Usage: " + c.program + " [", 0), 0u) << help.output;
    EXPECT_EQ(help.errors, "");
    Outcome shortHelp = Start(PathOf(c.program), {"-h"});
    EXPECT_EQ(shortHelp.code, 0);
    EXPECT_EQ(shortHelp.output, help.output);
    Outcome refused = Start(PathOf(c.program), c.refused);
    EXPECT_EQ(refused.code, 2);
    EXPECT_EQ(refused.output, "");
    // The server repeats its help; the two stand-ins say it in one line.
    EXPECT_EQ(refused.errors,
              c.program == "brenlow"
                  ? c.program + ": " + c.error + "\n\n" + help.output
                  : c.program + ": " + c.error + "; see " + c.program + " --help\n");
  }
}

// The manual pages are made by help2man from --help: it takes "Usage: <program> ..." and the
// lines "  or:  <program> ..." after it for the SYNOPSIS, and anything else before the blank
// line (a wrapped usage line) for the description. The NAME line is the sentence after it.
TEST(CommandLines, UsageLinesAreTheManualPagesSynopsis) {
  for (const std::string program :
       {"brenlow", "brenlow-admin", "brenlow-terminal", "brenlow-controller"}) {
    SCOPED_TRACE(program);
    const std::string help = Start(PathOf(program), {"--help"}).output;
    const size_t blank = help.find("\n\n");
    ASSERT_NE(blank, std::string::npos) << help;
    std::istringstream usage(help.substr(0, blank));
    std::string line;
    std::getline(usage, line);
    EXPECT_EQ(line.rfind("Usage: " + program + " ", 0), 0u) << line;
    while (std::getline(usage, line))
      EXPECT_EQ(line.rfind("  or:  " + program + " ", 0), 0u) << line;
    const std::string name = help.substr(blank + 2, help.find('\n', blank + 2) - blank - 2);
    EXPECT_TRUE(name.size() > 20 && name.back() == '.') << name;
  }
}

// brenlow-controller reads its options anywhere in the line; the first fault of a line is the
// one it names. The help wins only when it comes before every fault.
TEST(CommandLines, BrenlowController) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string output;  // stdout; for status 2, the first line of stderr
  };
  const std::string sent = "sent to 127.0.0.1:9: ";
  const Case cases[] = {
      {{"--port", "9", "on"}, 0, sent + "EB 00 00 00 40 00 00 00\n"},
      {{"off", "--server", "127.0.0.1", "--port", "009"}, 0, sent + "EB 00 00 00 00 00 00 00\n"},
      {{"--port", "+9", "--times", "3", "on"}, 0, sent + "EB 00 00 00 40 00 00 00\n"},
      {{"card", "12-255-0-45", "--times", "2", "--port", "9", "--gap", "0"},
       0,
       sent + "EB 66 01 DD 0C FF 00 2D\n" + sent + "EB 66 01 DD 0C FF 00 2D\n"},
      {{"--times", "0", "--port", "9", "card", "65-1-2-3"}, 0, ""},
      {{"--port", "9", "raw", "0", "ff", "Ab"}, 0, sent + "00 FF AB\n"},
      {{"help"}, 0, ""},
      {{"on", "--help"}, 0, ""},
      {{"--help", "--bogus"}, 0, ""},
      {{}, 2, "brenlow-controller: no command"},
      {{"-x"}, 2, "brenlow-controller: wrong use of -x"},
      {{"on", "off"}, 2, "brenlow-controller: wrong use of on"},
      {{"card", "1", "2"}, 2, "brenlow-controller: wrong use of card"},
      {{"listen", "extra"}, 2, "brenlow-controller: wrong use of listen"},
      {{"raw", "--port", "9"}, 2, "brenlow-controller: wrong use of raw"},
      {{"card", "bad"}, 2, "brenlow-controller: not a card number: bad"},
      {{"raw", "-1"}, 2, "brenlow-controller: not a hex byte: -1"},
      {{"raw", "123"}, 2, "brenlow-controller: not a hex byte: 123"},
      {{"--", "on"}, 2, "brenlow-controller: unknown option: --"},
      {{"--from=1", "on"}, 2, "brenlow-controller: unknown option: --from=1"},
      {{"--port", "0", "--help"}, 2, "brenlow-controller: --port: not a number in range: 0"},
      {{"--port", "65536", "on"}, 2, "brenlow-controller: --port: not a number in range: 65536"},
      {{"--port", "1e3", "on"}, 2, "brenlow-controller: --port: not a number in range: 1e3"},
      {{"--port", "", "on"}, 2, "brenlow-controller: --port: not a number in range: "},
      {{"card", "1-2-3-4", "--times", "-1"},
       2,
       "brenlow-controller: --times: not a number in range: -1"},
      {{"listen", "--seconds", "1000001"},
       2,
       "brenlow-controller: --seconds: not a number in range: 1000001"},
      {{"--port", "9", "on", "--bogus"}, 2, "brenlow-controller: unknown option: --bogus"},
      {{"card", "1-2-3-4", "--times"}, 2, "brenlow-controller: --times needs a value"},
      {{"--from"}, 2, "brenlow-controller: --from needs a value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    Outcome run = Start(testing::ToolPath("brenlow-controller"), c.arguments);
    EXPECT_EQ(run.code, c.code) << run.errors;
    if (c.code == 2)
      EXPECT_EQ(run.errors, c.output + "; see brenlow-controller --help\n");
    else if (c.output.empty())
      EXPECT_EQ(run.output.rfind("sent to", 0), std::string::npos) << run.output;
    else
      EXPECT_EQ(run.output, c.output);
  }
}

}  // namespace
}  // namespace brenlow
