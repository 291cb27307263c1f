// The desktop program beside the running service: it edits the same database while the service
// keeps serving, and the service answers with what the editor saved.
#include <gtest/gtest.h>
#include <signal.h>

#include <memory>
#include <thread>

#include "app/desktop.h"
#include "support/program.h"
#include "support/program_login.h"
#include "support/temp_database.h"
#include "support/x_display.h"
#include "timetable/editor_driver.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::ProgramPath;
using testing::Shell;
using testing::TempDatabase;
using testing::ToolPath;
using testing::XDisplay;

constexpr const char* kMac = "00-1A-2B-3C-4D-5E";

std::unique_ptr<Program> StartService(const TempDatabase& store) {
  auto service = std::make_unique<Program>(
      ProgramPath(),
      std::vector<std::string>{"--headless", "--listen", "127.0.0.1", "--database", store.path()});
  EXPECT_TRUE(service->waitForError("headless server starting", 10s)) << service->errors();
  return service;
}

// What brenlow-terminal prints for the class's course names ("" when there is no answer: a
// class without course rows gets none).
std::string TerminalCourses() {
  Program terminal(ToolPath("brenlow-terminal"), {"--host", "127.0.0.1", "--mac", kMac, "courses"});
  EXPECT_NE(terminal.wait(10s), -1);
  return terminal.output();
}

TEST(EditorBesideService, WhatTheEditorSavesIsWhatTheTerminalGetsNext) {
  TempDatabase store;
  store.addClass("一班", "10.0.0.5", kMac);
  auto service = StartService(store);
  std::this_thread::sleep_for(400ms);  // past the workers' start delays
  EXPECT_EQ(TerminalCourses().find("数学"), std::string::npos);

  // The main window of the editor, on the same file (this test process plays the desktop copy).
  testing::EditorDriver editor;
  editor.type(kc_dlg_ids::CourseCell(1, 0), QStringLiteral("数学"));
  editor.press(kc_dlg_ids::kSaveButton);
  EXPECT_NE(TerminalCourses().find("数学"), std::string::npos) << "the service's next answer";
  EXPECT_TRUE(service->running());
  service->signal(SIGTERM);
  EXPECT_EQ(service->wait(5s), 0) << service->errors();
}

TEST(EditorBesideService, TheDesktopProgramRunsAsAnEditorWhileTheServiceServes) {
  if (!XDisplay::Available())
    GTEST_SKIP() << "Xvfb, openbox, xdotool or x11-utils missing";
  XDisplay display;
  testing::ProgramCredentials credentials;
  TempDatabase store;
  store.addClass("一班", "10.0.0.5", kMac);
  auto service = StartService(store);
  // The service reset the statuses at its start; a controller reports the room powered since.
  std::this_thread::sleep_for(400ms);
  store.exec("Update tblbj Set Status=1");
  store.exec("Delete from tblkcTime");
  store.exec("Insert into tblkc (BJName, Monday) Values ('一班', '数学')");

  Program editor(ProgramPath(), {"--database", store.path(), "--listen", "127.0.0.1"});
  testing::PassLogin(display);
  std::string window = display.waitForWindow(kEditorWindowTitle);
  ASSERT_FALSE(window.empty()) << editor.errors() << Shell("xdotool search --name .");
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(store.value("select Status from tblbj"), "1") << "no status reset";
  EXPECT_EQ(store.value("select count(*) from tblkcTime"), "0") << "no default periods";
  EXPECT_NE(TerminalCourses().find("数学"), std::string::npos) << "the service still answers";

  editor.signal(SIGTERM);
  EXPECT_EQ(editor.wait(5s), 0) << editor.errors();
  EXPECT_TRUE(service->running()) << "the editor leaves the service alone";
  service->signal(SIGTERM);
  EXPECT_EQ(service->wait(5s), 0) << service->errors();
}

}  // namespace
}  // namespace brenlow
