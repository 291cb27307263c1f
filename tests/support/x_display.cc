#include "support/x_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "support/program.h"

namespace brenlow::testing {

using namespace std::chrono_literals;

std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr)
    return output;
  char buffer[4096];
  size_t size;
  while ((size = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    output.append(buffer, size);
  pclose(pipe);
  return output;
}

bool XDisplay::Available(bool withTray) {
  std::vector<const char*> tools = {"Xvfb", "openbox", "xdotool", "xwininfo", "xprop"};
  if (withTray)
    tools.push_back("trayer");
  for (const char* tool : tools) {
    if (Shell(std::string("command -v ") + tool).empty())
      return false;
  }
  return true;
}

XDisplay::XDisplay(bool withTray) {
  // -displayfd: Xvfb chooses a free display and writes its number once it accepts clients.
  int ready[2];
  if (pipe2(ready, O_CLOEXEC) != 0)
    return;
  serverPid_ = fork();
  if (serverPid_ == 0) {
    int fd = fcntl(ready[1], F_DUPFD, 10);  // without close-on-exec, for Xvfb to write to
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    std::string displayFd = std::to_string(fd);
    execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1280x800x24",
          "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  std::string number;
  pollfd wait{ready[0], POLLIN, 0};
  char c;
  while (poll(&wait, 1, 10000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n')
    number += c;
  close(ready[0]);
  setenv("DISPLAY", (":" + number).c_str(), 1);
  savedPlatform_ = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "";
  unsetenv("QT_QPA_PLATFORM");
  windowManager_ = std::make_unique<Program>("/usr/bin/openbox", std::vector<std::string>{});
  if (withTray) {
    tray_ = std::make_unique<Program>(
        "/usr/bin/trayer",
        std::vector<std::string>{"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                 "--width", "100", "--height", "24"});
  }
  // The window manager and the tray take the screen before the program under test starts.
  for (int i = 0; i < 100; ++i) {
    if (!Shell("xprop -root _NET_SUPPORTING_WM_CHECK | grep -o 'window id'").empty())
      break;
    std::this_thread::sleep_for(50ms);
  }
  if (withTray) {
    for (int i = 0; i < 100 && Shell("xwininfo -root -tree | grep '\"panel\"'").empty(); ++i)
      std::this_thread::sleep_for(50ms);
  }
}

XDisplay::~XDisplay() {
  tray_.reset();
  windowManager_.reset();
  if (serverPid_ > 0) {
    // A terminated server removes its lock file and socket; a killed one would leave them.
    kill(serverPid_, SIGTERM);
    int status;
    waitpid(serverPid_, &status, 0);
  }
  unsetenv("DISPLAY");
  if (!savedPlatform_.empty())
    setenv("QT_QPA_PLATFORM", savedPlatform_.c_str(), 1);
}

std::string XDisplay::waitForWindow(const std::string& title,
                                    std::chrono::milliseconds timeout) const {
  for (auto end = std::chrono::steady_clock::now() + timeout;
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(100ms)) {
    std::string id = Shell("xdotool search --onlyvisible --name '^" + title + "$' | head -1");
    if (!id.empty())
      return id.substr(0, id.find('\n'));
  }
  return std::string();
}

void XDisplay::keys(const std::string& keys) const {
  Shell("xdotool key --clearmodifiers --delay 60 " + keys);
}

void XDisplay::type(const std::string& text) const {
  Shell("xdotool type --delay 40 '" + text + "'");
}

}  // namespace brenlow::testing
