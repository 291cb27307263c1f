#include "support/x_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#ifdef BRENLOW_HAVE_XCB
#include <xcb/xcb.h>
#endif

#include "support/program.h"
#include "support/wait_for.h"

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

namespace {

// True once a notification area has taken the display's tray selection: a program asks for
// exactly that when it decides whether it has a tray (the panel's window exists a moment
// before the selection is taken).
bool TraySelectionTaken() {
#ifdef BRENLOW_HAVE_XCB
  int screen = 0;
  xcb_connection_t* connection = xcb_connect(nullptr, &screen);
  bool taken = false;
  if (xcb_connection_has_error(connection) == 0) {
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (atom != nullptr) {
      xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
          connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
      taken = owner != nullptr && owner->owner != XCB_NONE;
      free(owner);
    }
    free(atom);
  }
  xcb_disconnect(connection);
  return taken;
#else
  return !Shell("xwininfo -root -tree | grep '\"panel\"'").empty();
#endif
}

// The id of the first shown window whose title is exactly title, or "".
std::string ShownWindow(const std::string& title) {
  std::string id = Shell("xdotool search --onlyvisible --name '^" + title + "$' | head -1");
  return id.substr(0, id.find('\n'));
}

}  // namespace

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
  WaitFor(
      [] { return !Shell("xprop -root _NET_SUPPORTING_WM_CHECK | grep -o 'window id'").empty(); });
  if (withTray)
    WaitFor(TraySelectionTaken);
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
  std::string id;
  WaitFor([&] { return !(id = ShownWindow(title)).empty(); }, timeout);
  return id;
}

std::string XDisplay::waitForFocus(const std::string& title,
                                   std::chrono::milliseconds timeout) const {
  std::string id;
  const bool focused = WaitFor(
      [&] {
        id = ShownWindow(title);
        return !id.empty() && Shell("xdotool getwindowfocus") == id + "\n";
      },
      timeout);
  return focused ? id : std::string();
}

bool XDisplay::waitUntilGone(const std::string& title, std::chrono::milliseconds timeout) const {
  return WaitFor([&] { return ShownWindow(title).empty(); }, timeout);
}

void XDisplay::keys(const std::string& keys) const {
  Shell("xdotool key --clearmodifiers --delay 60 " + keys);
}

void XDisplay::type(const std::string& text) const {
  Shell("xdotool type --delay 40 '" + text + "'");
}

}  // namespace brenlow::testing
