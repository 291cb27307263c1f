// brenlow-terminal: a classroom terminal on the command line. Sends one request to the
// timetable server and prints the reply in readable form.
#include <cstdio>
#include <string>
#include <vector>

#include "core/version.h"
#include "tools/terminal/terminal_client.h"
#include "tools/terminal/terminal_command.h"

int main(int argc, char** argv) {
  using namespace brenlow;
  TerminalCommand command = ParseTerminalCommand(std::vector<std::string>(argv + 1, argv + argc));
  if (command.help) {
    std::fputs(TerminalHelpText().c_str(), stdout);
    return 0;
  }
  if (command.version) {
    std::fputs(VersionLine("brenlow-terminal").c_str(), stdout);
    return 0;
  }
  if (!command.error.empty()) {
    std::fprintf(stderr, "brenlow-terminal: %s; see brenlow-terminal --help\n",
                 command.error.c_str());
    return 2;
  }
  TerminalConnection connection;
  std::string error;
  if (!connection.connect(command.host, command.port, &error)) {
    std::fprintf(stderr, "brenlow-terminal: %s\n", error.c_str());
    return 2;
  }
  if (!connection.send(command.bytes)) {
    std::fprintf(stderr, "brenlow-terminal: the server did not take the request\n");
    return 2;
  }
  if (!command.answered) {
    std::printf("%s sent (%zu bytes); the server does not answer edits\n", command.request.c_str(),
                command.bytes.size());
    return 0;
  }
  std::string reply = command.clientPort
                          ? connection.receiveTeacherList(command.quiet)
                          : connection.receiveUntilQuiet(command.quiet, std::chrono::seconds(30));
  std::string text = command.clientPort ? DescribeClientReply(command.kind, reply)
                                        : DescribeTerminalReply(command.kind, reply);
  std::fputs(text.c_str(), stdout);
  return reply.empty() ? 1 : 0;
}
