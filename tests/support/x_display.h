// An X display of a test's own for tests that start the real desktop program: an Xvfb server
// with a window manager (openbox), driven with xdotool the way a person would. While it lives,
// DISPLAY names it and QT_QPA_PLATFORM is unset, so programs started from the test use it.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace brenlow::testing {

class Program;

// Runs a shell command and gives its standard output (stderr is dropped).
std::string Shell(const std::string& command);

class XDisplay {
 public:
  // True when Xvfb, openbox and xdotool are installed; tests skip otherwise.
  static bool Available();

  // Display number firstNumber + (pid % 100), so that parallel tests do not meet.
  explicit XDisplay(int firstNumber);
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  // The id of the first window whose title is exactly title, or "" after timeout.
  std::string waitForWindow(const std::string& title,
                            std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // Sends keys (xdotool key syntax: "Tab", "ctrl+c", "space") to the focused window.
  void keys(const std::string& keys) const;
  // Types text into the focused window.
  void type(const std::string& text) const;

 private:
  std::string number_;
  std::string savedPlatform_;
  std::unique_ptr<Program> server_;
  std::unique_ptr<Program> windowManager_;
};

}  // namespace brenlow::testing
