// The real program serving headless from a test: `brenlow --headless` on 127.0.0.1 and a test
// database, waited for until it serves (the store prepared, UDP 8234 bound, TCP 64124 and 62124
// listening), and stopped with SIGTERM.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "support/program.h"
#include "support/wait_for.h"

namespace brenlow::testing {

class HeadlessServer {
 public:
  // Starts the server on databasePath with extraArguments added to its command line, and waits
  // (at most kEventTimeout) until it serves; ready() says whether it did.
  explicit HeadlessServer(const std::string& databasePath,
                          const std::vector<std::string>& extraArguments = {});

  // True once the server serves every port; when it never did, the test has a failure that
  // shows what the program wrote.
  bool ready() const { return ready_; }
  Program& program() { return program_; }
  bool running() { return program_.running(); }
  std::string errors() const { return program_.errors(); }
  // Waits until the server's stderr contains text.
  bool waitForError(const std::string& text,
                    std::chrono::milliseconds timeout = kEventTimeout) const {
    return program_.waitForError(text, timeout);
  }

  // Ends the server with SIGTERM; its exit code (see Program::wait).
  int stop(std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Ends the server with SIGKILL, as a crash or a power cut would; its exit code.
  int kill(std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  Program program_;
  bool ready_ = false;
};

// The arguments that make the program serve on 127.0.0.1 only, from databasePath.
std::vector<std::string> HeadlessArguments(const std::string& databasePath);

// True when this network namespace serves every port of the program (UDP 8234, TCP 64124 and
// 62124).
bool ProgramPortsServed();

}  // namespace brenlow::testing
