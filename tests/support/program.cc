#include "support/program.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "support/wait_for.h"

namespace brenlow::testing {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string FolderFromEnvironment(const char* variable, const char* fallback) {
  const char* value = getenv(variable);
  return value != nullptr ? value : fallback;
}

}  // namespace

std::string ProgramPath() {
  return FolderFromEnvironment("BRENLOW_BIN_DIR", BRENLOW_BIN_DIR_DEFAULT) + "/brenlow";
}

std::string ToolPath(const std::string& name) {
  return FolderFromEnvironment("BRENLOW_TOOLS_DIR", BRENLOW_TOOLS_DIR_DEFAULT) + "/" + name;
}

Program::Program(const std::string& path, const std::vector<std::string>& arguments) {
  char pattern[] = "/tmp/brenlow-program-XXXXXX";
  std::string folder = mkdtemp(pattern);
  outPath_ = folder + "/stdout";
  errPath_ = folder + "/stderr";
  pid_ = fork();
  if (pid_ == 0) {
    int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(path.c_str()));
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
}

Program::~Program() {
  if (running()) {
    kill(pid_, SIGKILL);
    wait(std::chrono::seconds(5));
  }
}

bool Program::running() {
  if (exited_ || pid_ <= 0)
    return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_)
    exited_ = true;
  return !exited_;
}

void Program::signal(int number) {
  if (running())
    kill(pid_, number);
}

int Program::wait(std::chrono::milliseconds timeout) {
  if (!WaitFor([this] { return !running(); }, timeout))
    return -1;
  if (WIFEXITED(status_))
    return WEXITSTATUS(status_);
  if (WIFSIGNALED(status_))
    return 128 + WTERMSIG(status_);
  return -1;
}

std::string Program::output() const {
  return ReadFile(outPath_);
}
std::string Program::errors() const {
  return ReadFile(errPath_);
}

bool Program::waitForError(const std::string& text, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return errors().find(text) != std::string::npos; }, timeout);
}

}  // namespace brenlow::testing
