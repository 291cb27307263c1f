// Starting the real brenlow program (or a tool) from a test: a child process whose stderr is
// captured, with helpers to wait for it and to stop it with a signal.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace brenlow::testing {

// The built program: $BRENLOW_BIN_DIR/brenlow.
std::string ProgramPath();
// A built tool: $BRENLOW_TOOLS_DIR/<name>.
std::string ToolPath(const std::string& name);

class Program {
 public:
  // Starts path with arguments; stdout and stderr go to files read by output()/errors().
  Program(const std::string& path, const std::vector<std::string>& arguments);
  ~Program();  // kills the process if it still runs
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  pid_t pid() const { return pid_; }
  bool running();
  void signal(int number);
  // Waits for the exit; returns the exit code, 128+signal when killed, -1 on time-out.
  int wait(std::chrono::milliseconds timeout);
  std::string output() const;
  std::string errors() const;
  // Waits until the captured stderr contains text.
  bool waitForError(const std::string& text, std::chrono::milliseconds timeout) const;

 private:
  pid_t pid_ = -1;
  int status_ = 0;
  bool exited_ = false;
  std::string outPath_;
  std::string errPath_;
};

}  // namespace brenlow::testing
