// An X display of a test's own for tests that start the real desktop program: an Xvfb server
// with a window manager (openbox) and, on request, a notification area (trayer), driven with
// xdotool the way a person would. Xvfb picks a free display number itself and says it when it
// is ready to take clients, so stale lock files of earlier servers never get in the way. While
// it lives, DISPLAY names it and QT_QPA_PLATFORM is unset, so programs started from the test
// use it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>

namespace brenlow::testing {

class Program;

// Runs a shell command and gives its standard output (stderr is dropped).
std::string Shell(const std::string& command);

class XDisplay {
 public:
  // True when Xvfb, openbox, xdotool and x11-utils (and trayer, when asked) are installed;
  // tests skip otherwise.
  static bool Available(bool withTray = false);

  explicit XDisplay(bool withTray = false);
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  // The id of the first window whose title is exactly title, or "" after timeout.
  std::string waitForWindow(const std::string& title,
                            std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // The id of the window titled title once it is shown and has the keyboard focus (keys sent
  // from then on reach it), or "" after timeout.
  std::string waitForFocus(const std::string& title,
                           std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // True once no window titled title is shown.
  bool waitUntilGone(const std::string& title,
                     std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Sends keys (xdotool key syntax: "Tab", "ctrl+c", "space") to the focused window.
  void keys(const std::string& keys) const;
  // Types text into the focused window.
  void type(const std::string& text) const;

 private:
  pid_t serverPid_ = -1;
  std::string savedPlatform_;
  std::unique_ptr<Program> windowManager_;
  std::unique_ptr<Program> tray_;
};

}  // namespace brenlow::testing
