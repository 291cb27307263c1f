// The real desktop program on a real X display: an Xvfb server with a window manager (openbox)
// and a notification area (trayer), driven with xdotool the way a person would.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "support/program.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::ProgramPath;
using testing::TempDatabase;

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

bool HaveTools() {
  for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xwininfo", "xprop"}) {
    if (Shell(std::string("command -v ") + tool).empty())
      return false;
  }
  return true;
}

// An X display of its own for the test, with a window manager and a tray.
class XDisplay {
 public:
  XDisplay() : number_(std::to_string(120 + getpid() % 100)) {
    server_ = std::make_unique<Program>(
        "/usr/bin/Xvfb",
        std::vector<std::string>{":" + number_, "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    std::string socket = "/tmp/.X11-unix/X" + number_;
    for (int i = 0; i < 200 && !std::filesystem::exists(socket); ++i)
      std::this_thread::sleep_for(25ms);
    setenv("DISPLAY", (":" + number_).c_str(), 1);
    // The test itself runs offscreen; the programs it starts use the display.
    savedPlatform_ = getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "";
    unsetenv("QT_QPA_PLATFORM");
    windowManager_ = std::make_unique<Program>("/usr/bin/openbox", std::vector<std::string>{});
    tray_ = std::make_unique<Program>(
        "/usr/bin/trayer",
        std::vector<std::string>{"--edge", "top", "--align", "right", "--widthtype", "pixel",
                                 "--width", "100", "--height", "24"});
    std::this_thread::sleep_for(700ms);
  }
  ~XDisplay() {
    unsetenv("DISPLAY");
    if (!savedPlatform_.empty())
      setenv("QT_QPA_PLATFORM", savedPlatform_.c_str(), 1);
  }

 private:
  std::string number_;
  std::string savedPlatform_;
  std::unique_ptr<Program> server_;
  std::unique_ptr<Program> windowManager_;
  std::unique_ptr<Program> tray_;
};

std::string WaitForWindow(const std::string& name) {
  for (int i = 0; i < 100; ++i) {
    std::string id = Shell("xdotool search --name '^" + name + "$' | head -1");
    if (!id.empty())
      return id.substr(0, id.find('\n'));
    std::this_thread::sleep_for(100ms);
  }
  return std::string();
}

// The tray icon's window: a child of the tray panel named after the application.
std::string TrayIconWindow() {
  std::string tree =
      Shell("xwininfo -root -tree | grep '\"Brenlow\": (\"brenlow\"' | awk '{print $1}'");
  return tree.substr(0, tree.find('\n'));
}

template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = 3s) {
  for (auto end = std::chrono::steady_clock::now() + timeout;
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
    if (done())
      return true;
  }
  return done();
}

std::string MapState(const std::string& window) {
  return Shell("xwininfo -id " + window + " | awk '/Map State/{print $3}'");
}

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTools())
      GTEST_SKIP() << "Xvfb, openbox, trayer, xdotool or x11-utils missing";
    display_ = std::make_unique<XDisplay>();
    store_.exec("Insert into tblbj (Name, Status) Values ('一班', 1)");
  }

  std::unique_ptr<Program> start() {
    return std::make_unique<Program>(
        ProgramPath(),
        std::vector<std::string>{"--database", store_.path(), "--listen", "127.0.0.1"});
  }

  TempDatabase store_;
  std::unique_ptr<XDisplay> display_;
};

TEST_F(DesktopProgram, ShowsTheWindowOffTheTaskbarAndTheTrayBringsItBack) {
  auto program = start();
  std::string window = WaitForWindow("课程表");
  ASSERT_FALSE(window.empty()) << program->errors();
  EXPECT_EQ(store_.value("select Status from tblbj"), "0");
  EXPECT_TRUE(WaitUntil([&] {
    return Shell("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_SKIP_TASKBAR") !=
           std::string::npos;
  })) << "the window asks to stay off the taskbar";
  std::string tray;
  ASSERT_TRUE(WaitUntil([&] { return !(tray = TrayIconWindow()).empty(); }))
      << Shell("xwininfo -root -tree");

  Shell("xdotool windowminimize " + window);
  ASSERT_TRUE(WaitUntil([&] { return MapState(window) == "IsUnMapped\n"; }));
  Shell("xdotool mousemove --window " + tray + " 8 8 click 1");
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(MapState(window), "IsUnMapped\n") << "a single click does nothing";
  Shell("xdotool mousemove --window " + tray + " 8 8 click --repeat 2 --delay 60 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(window) == "IsViewable\n"; }))
      << "a double click shows the window again";

  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(3s), 0) << program->errors();
  EXPECT_TRUE(WaitUntil([] { return TrayIconWindow().empty(); }))
      << "the tray icon leaves with the program";
}

TEST_F(DesktopProgram, EscapeEnterAndTheCloseBoxEndTheProgram) {
  for (const char* keys : {"Escape", "Return", "alt+F4"}) {
    auto program = start();
    std::string window = WaitForWindow("课程表");
    ASSERT_FALSE(window.empty()) << program->errors();
    ASSERT_TRUE(WaitUntil([&] {
      Shell("xdotool windowactivate --sync " + window);
      return Shell("xdotool getwindowfocus") == window + "\n";
    })) << keys;
    std::this_thread::sleep_for(200ms);
    Shell(std::string("xdotool key --clearmodifiers ") + keys);
    EXPECT_EQ(program->wait(3s), 0) << keys << ": " << program->errors();
  }
}

}  // namespace
}  // namespace brenlow
