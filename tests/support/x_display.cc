#include "support/x_display.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
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

bool XDisplay::Available() {
  for (const char* tool : {"Xvfb", "openbox", "xdotool"}) {
    if (Shell(std::string("command -v ") + tool).empty())
      return false;
  }
  return true;
}

XDisplay::XDisplay(int firstNumber) : number_(std::to_string(firstNumber + getpid() % 100)) {
  server_ = std::make_unique<Program>(
      "/usr/bin/Xvfb",
      std::vector<std::string>{":" + number_, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
  std::string socket = "/tmp/.X11-unix/X" + number_;
  for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i) {
    std::this_thread::sleep_for(25ms);
  }
  setenv("DISPLAY", (":" + number_).c_str(), 1);
  savedPlatform_ = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "";
  unsetenv("QT_QPA_PLATFORM");
  windowManager_ = std::make_unique<Program>("/usr/bin/openbox", std::vector<std::string>{});
  std::this_thread::sleep_for(500ms);
}

XDisplay::~XDisplay() {
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
