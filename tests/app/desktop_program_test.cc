// The real desktop program on a real X display: an Xvfb server with a window manager (openbox)
// and a notification area (trayer), driven with xdotool the way a person would.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "support/program.h"
#include "support/program_login.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "support/wait_for.h"
#include "support/x_display.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::ProgramPath;
using testing::Shell;
using testing::TempDatabase;
using testing::WaitFor;
using testing::XDisplay;

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
  EXPECT_TRUE(WaitFor([&] { return store_.value("select Status from tblbj") == "0"; }));
  EXPECT_TRUE(WaitFor([&] {
    return Shell("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_SKIP_TASKBAR") !=
           std::string::npos;
  })) << "the window asks to stay off the taskbar";
  // The icon's window exists before the tray has embedded it: until the tray maps it at its
  // place, a click there reaches nothing (under load that took long enough to miss the clicks).
  std::string tray;
  ASSERT_TRUE(WaitFor([&] {
    tray = TrayIconWindow();
    return !tray.empty() && MapState(tray) == "IsViewable\n";
  })) << Shell("xwininfo -root -tree");

  Shell("xdotool windowminimize " + window);
  ASSERT_TRUE(WaitFor([&] { return MapState(window) == "IsUnMapped\n"; }));
  Shell("xdotool mousemove --window " + tray + " 8 8 click 1");
  std::this_thread::sleep_for(700ms);  // nothing marks an absence: time for a wrong reaction
  EXPECT_EQ(MapState(window), "IsUnMapped\n") << "a single click does nothing";
  Shell("xdotool mousemove --window " + tray + " 8 8 click --repeat 2 --delay 60 1");
  EXPECT_TRUE(WaitFor([&] { return MapState(window) == "IsViewable\n"; }))
      << "a double click shows the window again";

  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(3s), 0) << program->errors();
  EXPECT_TRUE(WaitFor([] { return TrayIconWindow().empty(); }))
      << "the tray icon leaves with the program";
}

TEST_F(DesktopProgram, EscapeEnterAndTheCloseBoxEndTheProgram) {
  for (const char* keys : {"Escape", "Return", "alt+F4"}) {
    auto program = start();
    std::string window = display_->waitForWindow("课程表");
    ASSERT_FALSE(window.empty()) << program->errors();
    ASSERT_TRUE(WaitFor([&] {
      Shell("xdotool windowactivate --sync " + window);
      return Shell("xdotool getwindowfocus") == window + "\n";
    })) << keys;
    // The window manager's focus reaches the program's window a moment later than the screen
    // shows it: press again until the program ends (a key that ends it ends it the first time).
    EXPECT_TRUE(WaitFor([&] {
      Shell(std::string("xdotool key --clearmodifiers ") + keys);
      return WaitFor([&] { return !program->running(); }, 300ms);
    })) << keys;
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

// The message boxes the program shows: its dialog windows with the application's caption.
std::vector<std::string> MessageBoxes() {
  std::vector<std::string> boxes;
  std::istringstream found(Shell("xdotool search --onlyvisible --name '^Brenlow$'"));
  for (std::string window; std::getline(found, window);) {
    if (Shell("xprop -id " + window + " _NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_DIALOG") !=
        std::string::npos)
      boxes.push_back(window);
  }
  return boxes;
}

// With the database file gone, every terminal request fails on a worker thread and reports:
// one box is open at a time, the rest goes to stderr, and the next box counts it. Terminals
// are answered again as soon as the file is back, box or no box.
TEST_F(DesktopProgram, FailuresOfWorkersOpenOneBoxAtATimeAndServiceResumesWhenTheFileIsBack) {
  constexpr const char* kMac = "AA-01";
  store_.exec(std::string("Update tblbj set PCMacAddr='") + kMac + "'");
  auto program = start();
  ASSERT_FALSE(display_->waitForWindow("课程表").empty()) << program->errors();
  TerminalConnection terminal = testing::ConnectWhenServed(kTerminalPort);
  const size_t periodsReply = 35 * 120;
  ASSERT_TRUE(terminal.send(testing::RequestBytes(2, kMac)));
  ASSERT_EQ(terminal.receive(periodsReply, 5s).size(), periodsReply);

  const std::string away = store_.path() + ".away";
  ASSERT_EQ(::rename(store_.path().c_str(), away.c_str()), 0);
  std::string requests;
  for (int i = 0; i < 1000; ++i)
    requests += testing::RequestBytes(2, kMac);
  ASSERT_TRUE(terminal.send(requests));
  auto failures = [&] {
    const std::string errors = program->errors();
    size_t count = 0;
    for (size_t at = errors.find("no such database: "); at != std::string::npos;
         at = errors.find("no such database: ", at + 1))
      ++count;
    return count;
  };
  ASSERT_TRUE(WaitFor([&] { return failures() >= 1000; }, 60s)) << failures();
  ASSERT_TRUE(WaitFor([] { return !MessageBoxes().empty(); }));
  std::this_thread::sleep_for(500ms);  // nothing marks an absence: time for a second box
  EXPECT_EQ(MessageBoxes().size(), 1u);

  ASSERT_EQ(::rename(away.c_str(), store_.path().c_str()), 0);
  ASSERT_TRUE(terminal.send(testing::RequestBytes(2, kMac)));
  EXPECT_EQ(terminal.receive(periodsReply, 10s).size(), periodsReply) << "answered again";

  // Closing the box brings the one that counts the rest; then none is left.
  for (int closed = 0; closed < 2; ++closed) {
    std::vector<std::string> boxes;
    ASSERT_TRUE(WaitFor([&] { return (boxes = MessageBoxes()).size() == 1; })) << closed;
    Shell("xdotool windowactivate --sync " + boxes[0]);
    display_->keys("Return");
    ASSERT_TRUE(WaitFor([&] {
      std::vector<std::string> now = MessageBoxes();
      return now.empty() || now[0] != boxes[0];
    }));
  }
  std::this_thread::sleep_for(500ms);  // nothing marks an absence: time for a further box
  EXPECT_TRUE(MessageBoxes().empty());
  program->signal(SIGTERM);
  EXPECT_EQ(program->wait(5s), 0) << program->errors();
}

// Without a notification area there is no icon to bring a minimised window back: the window
// stays in the taskbar, and the taskbar brings it back.
TEST(NoTrayDesktopProgram, WithoutANotificationAreaTheWindowStaysInTheTaskbar) {
  if (!XDisplay::Available(/*withTray=*/false))
    GTEST_SKIP() << "Xvfb, openbox, xdotool or x11-utils missing";
  XDisplay display(/*withTray=*/false);
  TempDatabase store;
  store.exec("Insert into tblbj (Name, Status) Values ('一班', 1)");
  testing::ProgramCredentials credentials;
  Program program(ProgramPath(), {"--database", store.path(), "--listen", "127.0.0.1"});
  testing::PassLogin(display);
  // Shown and focused: the window manager is done with its showing, so an activation of it
  // cannot come after the minimising below and undo it.
  std::string window = display.waitForFocus("课程表");
  ASSERT_FALSE(window.empty()) << program.errors();
  ASSERT_TRUE(WaitFor([&] { return store.value("select Status from tblbj") == "0"; }));
  // Nothing marks the end of an absence: time for a taskbar request, which would follow the
  // first showing.
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(Shell("xprop -id " + window + " _NET_WM_STATE").find("_NET_WM_STATE_SKIP_TASKBAR"),
            std::string::npos);

  Shell("xdotool windowminimize " + window);
  ASSERT_TRUE(WaitFor([&] { return MapState(window) == "IsUnMapped\n"; }));
  Shell("xdotool windowactivate " + window);  // what a taskbar button does
  EXPECT_TRUE(WaitFor([&] { return MapState(window) == "IsViewable\n"; }));
  program.signal(SIGTERM);
  EXPECT_EQ(program.wait(3s), 0) << program.errors();
}

}  // namespace
}  // namespace brenlow
