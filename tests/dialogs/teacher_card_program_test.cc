// The class and teacher lists in the real desktop program on an X display of the test's own:
// the main window's buttons open them, a card swiped at a controller (the brenlow-controller
// tool) shows in the open teacher list, and a termination signal ends the program even while
// they are open. Driven with the keyboard as a person would.
#include <gtest/gtest.h>
#include <signal.h>

#include "support/headless_server.h"
#include "support/program.h"
#include "support/program_login.h"
#include "support/temp_database.h"
#include "support/wait_for.h"
#include "support/x_display.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::ProgramPath;
using testing::TempDatabase;
using testing::ToolPath;
using testing::XDisplay;

class AdministrationProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!XDisplay::Available())
      GTEST_SKIP() << "Xvfb, openbox or xdotool missing";
    display_ = std::make_unique<XDisplay>();
    store_.addClass("一班", "127.0.0.1", "aa", "p");
    store_.addTeacher("12", "张三");
    program_ = std::make_unique<Program>(
        ProgramPath(),
        std::vector<std::string>{"--database", store_.path(), "--listen", "127.0.0.1"});
    testing::PassLogin(*display_);
    window_ = display_->waitForWindow("课程表");
    ASSERT_FALSE(window_.empty()) << program_->errors();
    // The window manager may pass over an activation that comes while the login box is still
    // going away: ask again until the window has the focus.
    ASSERT_TRUE(testing::WaitFor([&] {
      testing::Shell("xdotool windowactivate " + window_);
      return !display_->waitForFocus("课程表", 500ms).empty();
    }));
    // Card swipes reach the program once its listener is bound.
    ASSERT_TRUE(testing::WaitFor([] { return testing::ProgramPortsServed(); }));
  }

  // The main window opens with the focus on the class list; "..." and "老师" follow it.
  void openFromMainWindow(int tabs, const std::string& title) {
    std::string keys;
    for (int i = 0; i < tabs; ++i)
      keys += "Tab ";
    display_->keys(keys + "space");
    ASSERT_FALSE(display_->waitForFocus(title).empty()) << title;
  }

  void swipe(const std::string& card) {
    Program controller(ToolPath("brenlow-controller"), {"card", card});
    ASSERT_EQ(controller.wait(5s), 0) << controller.errors();
  }

  testing::ProgramCredentials credentials_;
  TempDatabase store_;
  std::unique_ptr<XDisplay> display_;
  std::unique_ptr<Program> program_;
  std::string window_;
};

TEST_F(AdministrationProgram, SwipedCardNumberShowsInTheTeacherListAndBecomesATeacherNumber) {
  openFromMainWindow(2, "老师信息");
  swipe("12-255-0-45");
  // The list has the focus; the card number field follows it. Copy the number from there into
  // the number of a new teacher, as an administrator records a card.
  display_->keys("Tab ctrl+a ctrl+c Tab space");
  ASSERT_FALSE(display_->waitForFocus("添加数据").empty());
  display_->keys("ctrl+v Tab");
  display_->type("Card");
  display_->keys("Return Escape");
  const std::vector<std::string> teachers{"12|张三(12)", "12-255-0-45|Card(12-255-0-45)"};
  EXPECT_TRUE(testing::WaitFor([&] {
    return store_.column("select Numb||'|'||NameNumb from tblThMes order by ID") == teachers;
  })) << ::testing::PrintToString(store_.column("select NameNumb from tblThMes"));

  // With the teacher list open a termination signal still ends the program.
  program_->signal(SIGTERM);
  EXPECT_EQ(program_->wait(3s), 0) << program_->errors();
}

TEST_F(AdministrationProgram, ClassAddedInTheClassListIsStoredWithItsPeriods) {
  openFromMainWindow(1, "班级信息");
  display_->keys("Tab space");  // from the list to "添加"
  ASSERT_FALSE(display_->waitForFocus("添加数据").empty());
  display_->type("Class2");
  display_->keys("Tab");
  display_->type("10.0.0.2");
  display_->keys("Tab");
  display_->type("00-11-22");
  display_->keys("Tab");
  display_->type("pw");
  display_->keys("Return Escape");
  const std::vector<std::string> classes{"一班|127.0.0.1|aa|p", "Class2|10.0.0.2|00-11-22|pw"};
  EXPECT_TRUE(testing::WaitFor([&] {
    return store_.column("select Name||'|'||ZKIP||'|'||PCMacAddr||'|'||Pass from tblbj") == classes;
  })) << ::testing::PrintToString(store_.column("select Name from tblbj"));
  EXPECT_TRUE(testing::WaitFor([&] {
    return store_.value("select count(*) from tblkcTime where BJName='Class2'") == "35";
  }));

  display_->keys("Escape");  // closes the class list
  EXPECT_TRUE(display_->waitUntilGone("班级信息"));
  program_->signal(SIGTERM);
  EXPECT_EQ(program_->wait(3s), 0) << program_->errors();
}

}  // namespace
}  // namespace brenlow
