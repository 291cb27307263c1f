// The real brenlow, headless, answering brenlow-terminal on ports 64124 and 62124.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::Program;
using testing::TempDatabase;
using testing::ToolPath;

struct ToolRun {
  int code;
  std::string output;
};

ToolRun RunTerminal(const std::vector<std::string>& arguments) {
  Program tool(ToolPath("brenlow-terminal"), arguments);
  int code = tool.wait(10s);
  return {code, tool.output()};
}

TEST(TerminalPortsProgram, BrenlowTerminalIsAnsweredOnBothPorts) {
  TempDatabase store;
  store.addClass("初二年级甲", "10.0.0.1", "AA-01", "secret");
  store.addTeacher("12", "张老师");
  store.exec("Insert into tblkc (BJName, Monday, Friday) Values ('初二年级甲', '语文', '体育')");
  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());

  ToolRun name = RunTerminal({"--mac", "nobody", "--mac", "AA-01", "class-name"});
  EXPECT_EQ(name.code, 0);
  EXPECT_EQ(name.output, "class name: 初二年级甲\n");

  ToolRun teachers = RunTerminal({"--mac", "AA-01", "teachers"});
  EXPECT_EQ(teachers.code, 0);
  EXPECT_EQ(teachers.output, "teacher: 张老师(12)\n(end of list)\n");

  ToolRun edit = RunTerminal(
      {"edit-period", "初二年级甲", "星期二", "1", "8", "55", "9", "40", "张老师(12)", "1", "0"});
  EXPECT_EQ(edit.code, 0) << edit.output;
  EXPECT_EQ(RunTerminal({"edit-course", "初二年级甲", "0", "数学", "", "", "", "体育"}).code, 0);
  // Both edits are in once a later request on the same port is answered.
  ASSERT_EQ(RunTerminal({"--mac", "AA-01", "teachers"}).code, 0);

  ToolRun periods = RunTerminal({"--mac", "AA-01", "periods"});
  EXPECT_EQ(periods.code, 0);
  EXPECT_EQ(std::count(periods.output.begin(), periods.output.end(), '\n'), 35);
  EXPECT_NE(periods.output.find("period 9: 星期二 8:55 - 9:40  teacher 张老师(12)  auto on 1, "
                                "auto off 0\n"),
            std::string::npos)
      << periods.output;
  EXPECT_EQ(RunTerminal({"--mac", "AA-01", "courses"}).output,
            "courses 1: Monday 数学 | Tuesday  | Wednesday  | Thursday  | Friday 体育\n");
  EXPECT_EQ(RunTerminal({"--mac", "AA-01", "--mac", "AA-01", "password"}).output,
            "password: secret\npassword: secret\n");
  ToolRun unknown = RunTerminal({"--mac", "nobody", "password"});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_EQ(unknown.output, "no answer\n");

  auto stopAsked = std::chrono::steady_clock::now();
  EXPECT_EQ(server.stop(), 0) << server.errors();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 2s);
  EXPECT_EQ(server.errors().find("not served"), std::string::npos) << server.errors();
}

TEST(TerminalPortsProgram, BrenlowTerminalExplainsItselfAndRefusesBadRequests) {
  ToolRun help = RunTerminal({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.output.find("Usage: brenlow-terminal"), std::string::npos);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {},
           {"timetable"},
           {"edit-course", "一班", "0"},
           {"edit-period", "一班", "星期一", "x", "8", "0", "8", "45", "", "0", "0"},
           {"--mac", "a", "--mac", "b", "--mac", "c", "--mac", "d", "periods"},
           {"--port", "70000", "periods"}}) {
    Program tool(ToolPath("brenlow-terminal"), bad);
    EXPECT_EQ(tool.wait(10s), 2) << ::testing::PrintToString(bad);
    EXPECT_NE(tool.errors().find("brenlow-terminal: "), std::string::npos);
  }
}

// A text longer than its field would be cut on the wire and could name another class or
// weekday: the tool refuses it before it connects, naming the field and its room.
TEST(TerminalPortsProgram, BrenlowTerminalRefusesEditTextsLongerThanTheirFields) {
  const std::string twentyChars = "一二三四五六七八九十一二三四五六七八九十";
  const std::string fiftyChars(50, 'x');
  struct Case {
    std::vector<std::string> arguments;
    std::string error;
  };
  const Case cases[] = {
      {{"edit-period", twentyChars, "星期一", "0", "8", "0", "8", "45", "", "0", "0"},
       "CLASS has at most 19 characters: " + twentyChars},
      {{"edit-period", "一班", "星期一x", "0", "8", "0", "8", "45", "", "0", "0"},
       "WEEK has at most 3 characters: 星期一x"},
      {{"edit-period", "一班", "星期一", "0", "8", "0", "8", "450", "", "0", "0"},
       "END_M has at most 2 characters: 450"},
      {{"edit-period", "一班", "星期一", "0", "8", "0", "8", "45", fiftyChars, "0", "0"},
       "TEACHER has at most 39 characters: " + fiftyChars},
      {{"edit-course", "一班", "0", "", "", "", "", fiftyChars},
       "FRIDAY has at most 49 characters: " + fiftyChars},
  };
  for (const Case& c : cases) {
    Program tool(ToolPath("brenlow-terminal"), c.arguments);
    EXPECT_EQ(tool.wait(10s), 2) << c.error;
    const std::string errors = tool.errors();
    EXPECT_EQ(errors, "brenlow-terminal: " + c.error + "; see brenlow-terminal --help\n");
  }
}

}  // namespace
}  // namespace brenlow
