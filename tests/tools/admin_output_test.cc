// What brenlow-admin shows: hostile and undecodable stored text, JSON types and keys, and the
// command line's own answers (--version, an unknown command, a wrong format or date).
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "support/program.h"
#include "tools/admin_fixture.h"

namespace brenlow {
namespace {

using AdminOutput = testing::AdminFixture;

// A class and a teacher whose texts came from the network: an escape sequence that would clear
// the screen, and code page 936 bytes that are no UTF-8.
TEST_F(AdminOutput, StoredTextNeverReachesTheTerminalRawNorEndsACommand) {
  const std::string escape = "\x1b[2J\x1b]0;pwned\x07";
  const std::string gbk = "\xd5\xc5\xc8\xfd";  // 张三 in code page 936
  store_.addClass("一班" + escape, "10.0.0.5");
  store_.addTeacher("65-1-1-1", gbk);
  store_.exec("Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', ThName=" +
              testing::Quote(gbk + "(65-1-1-1)" + escape) +
              " where ID=(select min(ID) from tblkcTime)");
  const std::string shownEscape = "\\x1b[2J\\x1b]0;pwned\\x07";
  const std::string replaced = "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd";
  const std::vector<std::vector<std::string>> listings = {{"classes"},
                                                          {"teachers"},
                                                          {"status", "--date", "2099-01-05"},
                                                          {"timetable", "一班" + escape}};
  for (const auto& listing : listings) {
    for (const char* format : {"table", "csv", "json"}) {
      std::vector<std::string> arguments = listing;
      arguments.insert(arguments.end(), {"--format", format});
      testing::AdminRun result = run(arguments);
      ASSERT_EQ(result.code, 0) << listing[0] << " " << format << ": " << result.errors;
      EXPECT_EQ(result.output.find('\x1b'), std::string::npos) << listing[0] << " " << format;
      EXPECT_EQ(result.output.find(gbk), std::string::npos) << listing[0] << " " << format;
      const bool json = std::string(format) == "json";
      if (json) {
        EXPECT_TRUE(nlohmann::json::accept(result.output)) << result.output;
      }
      if (listing[0] != "teachers") {
        EXPECT_NE(result.output.find(json ? "\\u001b[2J" : shownEscape), std::string::npos)
            << result.output;
      }
      if (listing[0] != "classes") {
        EXPECT_NE(result.output.find(replaced), std::string::npos) << listing[0] << format;
      }
    }
  }
  // The stored bytes stay as they were.
  EXPECT_EQ(store_.value("select Name from tblThMes"), gbk);
  // Text that is not UTF-8 is refused at the shell.
  refused({"teacher", "add", "65-1-1-2", gbk}, "not UTF-8 text");
  EXPECT_EQ(store_.value("select count(*) from tblThMes"), "1");
}

TEST_F(AdminOutput, JsonKeysAndTypesAreSharedAcrossCommands) {
  store_.addClass("一班", "10.0.0.5", "00-1A-2B-3C-4D-5E", "pw");
  store_.addTeacher("65-1-1-1", "张三");
  store_.addTeacher("65-1-1-2", "李四");
  store_.exec("Update tblThMes set UseTime='90' where Numb='65-1-1-1'");
  store_.exec("Update tblThMes set UseTime='' where Numb='65-1-1-2'");
  EXPECT_EQ(nlohmann::json::parse(ok({"classes", "--format", "json"})),
            nlohmann::json::parse(R"([{"class":"一班","address":"10.0.0.5",
                "mac":"00-1A-2B-3C-4D-5E","password":"pw"}])"));
  EXPECT_EQ(nlohmann::json::parse(ok({"teachers", "--format", "json"})),
            nlohmann::json::parse(R"([{"number":"65-1-1-1","name":"张三","use_time":90},
                {"number":"65-1-1-2","name":"李四","use_time":null}])"));
  auto status = nlohmann::json::parse(ok({"status", "--format", "json"}));
  EXPECT_EQ(status[0]["class"], "一班");
  EXPECT_EQ(status[0]["address"], "10.0.0.5");
  EXPECT_EQ(ok({"classes"}),
            "班级  中控IP    电脑MAC            密码\n"
            "一班  10.0.0.5  00-1A-2B-3C-4D-5E  pw\n");
}

TEST_F(AdminOutput, CommandLineMistakesGetOneLineSayingWhatWasMeant) {
  const struct {
    std::vector<std::string> arguments;
    std::string line;
  } mistakes[] = {
      {{"clases"}, "brenlow-admin: unknown command clases; did you mean classes?\n"},
      {{"class", "ad", "x"}, "brenlow-admin: unknown command class ad; did you mean class add?\n"},
      {{"frobnicate"}, "brenlow-admin: unknown command frobnicate; see brenlow-admin --help\n"},
      {{"classes", "--format", "1"},
       "brenlow-admin: --format: expected table, csv or json, not 1; see brenlow-admin --help\n"},
      {{"usage", "--from", "2026-13-01"},
       "brenlow-admin: --from: expected YYYY-MM-DD, not 2026-13-01; see brenlow-admin --help\n"},
  };
  for (const auto& mistake : mistakes) {
    testing::AdminRun result = run(mistake.arguments);
    EXPECT_EQ(result.code, 2) << mistake.arguments[0];
    EXPECT_EQ(result.errors, mistake.line);
  }
}

// A store that cannot be used is named with its real reason, never "not a Brenlow database".
TEST_F(AdminOutput, AMissingOrForbiddenDatabaseIsNamedWithItsReason) {
  const std::string absent = store_.folder() + "/absent.db";
  testing::AdminRun missing = testing::RunAdmin(absent, {"classes"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.errors, "brenlow-admin: " + absent +
                                ": no such database; create it with brenlow --init-database " +
                                absent + "\n");
  if (::geteuid() != 0)
    GTEST_SKIP() << "the other user needs root to run as";
  testing::Program stranger(
      "/usr/bin/setpriv",
      {"--reuid=nobody", "--regid=nogroup", "--clear-groups", testing::ToolPath("brenlow-admin"),
       "--database", store_.path(), "classes"});
  EXPECT_EQ(stranger.wait(std::chrono::seconds(30)), 1);
  EXPECT_EQ(stranger.errors().rfind("brenlow-admin: " + store_.path() +
                                        ": user nobody may not "
                                        "read and write it: 没有权限打开数据库 ",
                                    0),
            0u)
      << stranger.errors();
  EXPECT_NE(stranger.errors().find("用户组"), std::string::npos);
}

TEST(Programs, EachPrintsItsVersionAndAUsageErrorInOneLine) {
  const std::string version = " " BRENLOW_TEST_VERSION "\n";
  for (const char* name : {"brenlow-admin", "brenlow-terminal", "brenlow-controller"}) {
    testing::Program program(testing::ToolPath(name), {"--version"});
    EXPECT_EQ(program.wait(std::chrono::seconds(30)), 0) << name;
    EXPECT_EQ(program.output(), name + version);
  }
  testing::Program server(testing::ProgramPath(), {"--version"});
  EXPECT_EQ(server.wait(std::chrono::seconds(30)), 0);
  EXPECT_EQ(server.output(), "brenlow" + version);

  for (const char* name : {"brenlow-terminal", "brenlow-controller"}) {
    testing::Program program(testing::ToolPath(name), {"--bogus"});
    EXPECT_EQ(program.wait(std::chrono::seconds(30)), 2) << name;
    EXPECT_EQ(program.errors(),
              std::string(name) + ": unknown option: --bogus; see " + name + " --help\n");
  }
}

}  // namespace
}  // namespace brenlow
