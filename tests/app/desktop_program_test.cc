// The real desktop program on a real X display: an Xvfb server with a window manager (openbox)
// and a notification area (trayer), driven with xdotool the way a person would.
#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <thread>

#include "support/program.h"
#include "support/program_login.h"
#include "support/temp_database.h"
#include "support/x_display.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::ProgramPath;
using testing::Shell;
using testing::TempDatabase;
using testing::XDisplay;

template <typename Predicate>
bool WaitUntil(Predicate done, std::chrono::milliseconds timeout = 5s) {
  for (auto end = std::chrono::steady_clock::now() + timeout;
       std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(50ms)) {
    if (done())
      return true;
  }
  return done();
}

// The tray icon's window: a child of the tray panel named after the application.
std::string TrayIconWindow() {
  std::string tree =
      Shell("xwininfo -root -tree | grep '\"Brenlow\": (\"brenlow\"' | awk '{print $1}'");
  return tree.substr(0, tree.find('\n'));
}

std::string MapState(const std::string& window) {
  return Shell("xwininfo -id " + window + " | awk '/Map State/{print $3}'");
}

class DesktopProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XDisplay::Available(/*withTray=*/true))
      GTEST_SKIP() << "Xvfb, openbox, trayer, xdotool or x11-utils missing";
    display_ = std::make_unique<XDisplay>(/*withTray=*/true);
    store_.exec("Insert into tblbj (Name, Status) Values ('一班', 1)");
  }

  // Starts the program without logging in.
  std::unique_ptr<Program> launch() {
    return std::make_unique<Program>(
        ProgramPath(),
        std::vector<std::string>{"--database", store_.path(), "--listen", "127.0.0.1"});
  }

  // Starts the program and passes its login with the bootstrap credentials.
  std::unique_ptr<Program> start() {
    auto program = launch();
    testing::PassLogin(*display_);
    return program;
  }

  testing::ProgramCredentials credentials_;
  TempDatabase store_;
  std::unique_ptr<XDisplay> display_;
};

TEST_F(DesktopProgram, ShowsTheWindowOffTheTaskbarAndTheTrayBringsItBack) {
  auto program = start();
  std::string window = display_->waitForWindow("课程表");
  ASSERT_FALSE(window.empty()) << program->errors();
  // The window exists (and is found) a moment before start-up has prepared the store.
  EXPECT_TRUE(WaitUntil([&] { return store_.value("select Status from tblbj") == "0"; }));
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
    std::string window = display_->waitForWindow("课程表");
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

// "admin" / "secret", scrambled as the credentials file stores them.
constexpr const char* kAdminSecret =
    "[Pass]\r\nUseName=~\x81\x8a\x86\x8b\r\nPassWord=\x98\x8a\x88\x97\x8a\x99\r\n";

TEST_F(DesktopProgram, LoginComesFirstAndAWrongTextEndsTheProgram) {
  testing::ProgramCredentials credentials(kAdminSecret);
  auto program = launch();
  std::string login = display_->waitForWindow("登陆");
  ASSERT_FALSE(login.empty()) << program->errors();
  EXPECT_TRUE(Shell("xdotool search --name '^课程表$'").empty()) << "no main window yet";
  testing::PassLogin(*display_, "admin", "wrong");
  std::string message = display_->waitForWindow("Brenlow");
  ASSERT_FALSE(message.empty()) << "the refusal is shown";
  Shell("xdotool windowactivate --sync " + message);
  display_->keys("Return");
  EXPECT_EQ(program->wait(3s), 0) << program->errors();
  EXPECT_EQ(store_.value("select Status from tblbj"), "1") << "start-up never went further";
}

TEST_F(DesktopProgram, StoredCredentialsOpenTheMainWindowCancelAndSigtermEndTheProgram) {
  testing::ProgramCredentials credentials(kAdminSecret);
  auto program = launch();
  testing::PassLogin(*display_, "admin", "secret");
  ASSERT_FALSE(display_->waitForWindow("课程表").empty()) << program->errors();
  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(3s), 0) << program->errors();

  auto cancelled = launch();
  std::string login = display_->waitForWindow("登陆");
  ASSERT_FALSE(login.empty()) << cancelled->errors();
  Shell("xdotool windowactivate --sync " + login);
  display_->keys("Escape");
  EXPECT_EQ(cancelled->wait(3s), 0) << cancelled->errors();

  auto terminated = launch();
  ASSERT_FALSE(display_->waitForWindow("登陆").empty()) << terminated->errors();
  terminated->signal(SIGTERM);
  EXPECT_EQ(terminated->wait(3s), 0) << "a termination signal ends the login normally";
}

TEST_F(DesktopProgram, NoCredentialsSaysHowToSetThem) {
  Program program(ProgramPath(),
                  {"--database", store_.path(), "--credentials", store_.folder() + "/absent.ini"});
  std::string message = display_->waitForWindow("Brenlow");
  ASSERT_FALSE(message.empty()) << program.errors();
  EXPECT_TRUE(display_->waitForWindow("登陆", 300ms).empty()) << "no login is offered";
  Shell("xdotool windowactivate --sync " + message);
  display_->keys("Return");
  EXPECT_EQ(program.wait(3s), 1);
  EXPECT_NE(program.errors().find("尚未设置用户名和密码：请运行 brenlow --set-credentials"),
            std::string::npos)
      << program.errors();
}

TEST_F(DesktopProgram, ATerminationSignalDuringAStartUpMessageEndsTheProgram) {
  // A missing database makes start-up show a message before the main window.
  auto program = std::make_unique<Program>(
      ProgramPath(), std::vector<std::string>{"--database", store_.folder() + "/absent.db",
                                              "--listen", "127.0.0.1"});
  testing::PassLogin(*display_);
  ASSERT_FALSE(display_->waitForWindow("Brenlow").empty()) << program->errors();
  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(5s), 0) << program->errors();
}

}  // namespace
}  // namespace brenlow
