// The desktop program beside the running service: it edits the same database while the service
// keeps serving, and the service answers with what the editor saved.
#include <gtest/gtest.h>
#include <signal.h>

#include "app/desktop.h"
#include "support/headless_server.h"
#include "support/program.h"
#include "support/program_login.h"
#include "support/temp_database.h"
#include "support/x_display.h"
#include "timetable/editor_driver.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::HeadlessServer;
using testing::Program;
using testing::ProgramPath;
using testing::Shell;
using testing::TempDatabase;
using testing::ToolPath;
using testing::XDisplay;

constexpr const char* kMac = "00-1A-2B-3C-4D-5E";

// What brenlow-terminal prints for the class's course names, with its exit status: 0 answered,
// 1 no answer (a class without course rows gets none), 2 no connection.
std::string TerminalCourses(int expectedStatus) {
  Program terminal(ToolPath("brenlow-terminal"), {"--host", "127.0.0.1", "--mac", kMac, "courses"});
  EXPECT_EQ(terminal.wait(10s), expectedStatus) << terminal.errors();
  return terminal.output();
}

TEST(EditorBesideService, WhatTheEditorSavesIsWhatTheTerminalGetsNext) {
  TempDatabase store;
  store.addClass("一班", "10.0.0.5", kMac);
  HeadlessServer service(store.path());
  ASSERT_TRUE(service.ready());
  EXPECT_EQ(TerminalCourses(1).find("数学"), std::string::npos) << "served, no course rows yet";

  // The main window of the editor, on the same file (this test process plays the desktop copy).
  testing::EditorDriver editor(store.store());
  editor.type(kc_dlg_ids::CourseCell(1, 0), QStringLiteral("数学"));
  editor.press(kc_dlg_ids::kSaveButton);
  EXPECT_NE(TerminalCourses(0).find("数学"), std::string::npos) << "the service's next answer";
  EXPECT_TRUE(service.running());
  EXPECT_EQ(service.stop(), 0) << service.errors();
}

TEST(EditorBesideService, TheDesktopProgramRunsAsAnEditorWhileTheServiceServes) {
  if (!XDisplay::Available())
    GTEST_SKIP() << "Xvfb, openbox, xdotool or x11-utils missing";
  XDisplay display;
  testing::ProgramCredentials credentials;
  TempDatabase store;
  store.addClass("一班", "10.0.0.5", kMac);
  // The service resets the statuses as it starts, before it serves; a controller reports the
  // room powered since.
  HeadlessServer service(store.path());
  ASSERT_TRUE(service.ready());
  store.exec("Update tblbj Set Status=1");
  store.exec("Delete from tblkcTime");
  store.exec("Insert into tblkc (BJName, Monday) Values ('一班', '数学')");

  Program editor(ProgramPath(), {"--database", store.path(), "--listen", "127.0.0.1"});
  testing::PassLogin(display);
  std::string window = display.waitForWindow(kEditorWindowTitle);
  ASSERT_FALSE(window.empty()) << editor.errors() << Shell("xdotool search --name .");
  // The desktop program shows its main window once its start-up is over.
  EXPECT_EQ(store.value("select Status from tblbj"), "1") << "no status reset";
  EXPECT_EQ(store.value("select count(*) from tblkcTime"), "0") << "no default periods";
  EXPECT_NE(TerminalCourses(0).find("数学"), std::string::npos) << "the service still answers";

  editor.signal(SIGTERM);
  EXPECT_EQ(editor.wait(5s), 0) << editor.errors();
  EXPECT_TRUE(service.running()) << "the editor leaves the service alone";
  EXPECT_EQ(service.stop(), 0) << service.errors();
}

}  // namespace
}  // namespace brenlow
