// brenlow-admin change, the real binary on a temporary database: one-day changes added,
// replaced, listed and removed, the refusals that write nothing, and how status shows them.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using testing::Quote;
using testing::TempDatabase;

// 一班 with its first two Wednesday periods and its first Friday period filled in, and two
// teachers. 2099-01-07 is a Wednesday, 2099-01-10 a Saturday, 2099-01-09 a Friday.
class ChangeCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LC_ALL", "C", 1);
    store_.addClass("一班", "10.0.0.5");
    store_.addTeacher("7", "张三");
    store_.addTeacher("8", "李四");
    setPeriod("星期三", 0, "8", "0", "8", "45", "张三(7)");
    setPeriod("星期三", 1, "9", "0", "9", "45", "张三(7)");
    setPeriod("星期五", 0, "10", "0", "10", "45", "张三(7)");
  }
  void TearDown() override { unsetenv("LC_ALL"); }

  void setPeriod(const char* week, int n, const char* startH, const char* startM, const char* endH,
                 const char* endM, const char* teacher) {
    store_.exec("Update tblkcTime set StartH=" + Quote(startH) + ", StartM=" + Quote(startM) +
                ", EndH=" + Quote(endH) + ", EndM=" + Quote(endM) + ", ThName=" + Quote(teacher) +
                " where ID=(select ID from tblkcTime where Week=" + Quote(week) +
                " Order by ID limit 1 offset " + std::to_string(n) + ")");
  }

  AdminRun run(std::vector<std::string> arguments) {
    std::vector<std::string> full = {"change"};
    full.insert(full.end(), arguments.begin(), arguments.end());
    return testing::RunAdmin(store_.path(), full);
  }
  std::string ok(std::vector<std::string> arguments) {
    AdminRun result = run(arguments);
    EXPECT_EQ(result.code, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    return result.output;
  }
  std::string changes() {
    return store_.value(
        "select ifnull(group_concat(date_day || ' ' || period || ' ' || kind || ' ' || "
        "teacher_Numb, '; '), '') from tbl_day_change");
  }

  TempDatabase store_;
};

TEST_F(ChangeCommand, AddReplaceListInEveryFormatAndRemove) {
  ok({"add", "2099-01-07", "一班", "2", "--cancel", "--note", "运动会"});
  ok({"add", "2099-01-07", "一班", "1", "--teacher", "8", "--note", "张三病假"});
  ok({"add", "2099-01-09", "一班", "1", "--teacher", "7"});
  ok({"add", "2099-01-09", "一班", "1", "--cancel"});  // replaces the change of that period
  EXPECT_EQ(ok({"list"}),
            "日期        班级  节  类型  代课老师  备注\n"
            "2099-01-07  一班  1   代课  李四(8)   张三病假\n"
            "2099-01-07  一班  2   停课            运动会\n"
            "2099-01-09  一班  1   停课\n");
  EXPECT_EQ(ok({"list", "--from", "2099-01-08", "--format", "csv"}),
            "date,class,period,kind,teacher,note\n"
            "2099-01-09,一班,1,cancelled,,\n");
  EXPECT_EQ(ok({"list", "--to", "2099-01-07", "--format", "json"}), R"json([
  {
    "date": "2099-01-07",
    "class": "一班",
    "period": 1,
    "kind": "substitute",
    "teacher": "李四(8)",
    "note": "张三病假"
  },
  {
    "date": "2099-01-07",
    "class": "一班",
    "period": 2,
    "kind": "cancelled",
    "teacher": null,
    "note": "运动会"
  }
]
)json");
  ;

  ok({"remove", "2099-01-07", "一班", "2"});
  AdminRun again = run({"remove", "2099-01-07", "一班", "2"});
  EXPECT_EQ(again.code, 1);
  EXPECT_NE(again.errors.find("no change"), std::string::npos) << again.errors;
  EXPECT_EQ(changes(), "2099-01-07 1 substitute 8; 2099-01-09 1 cancelled ");
}

// The cancelled first period keeps its power-off, so the day's first action is 08:45 关机, not
// its power-on at 08:00.
TEST_F(ChangeCommand, StatusMarksTheSubstituteAndTheCancelledPeriod) {
  store_.exec("Update tblkcTime set AutoOn=1, AutoOff=1 where StartH<>' '");
  ok({"add", "2099-01-07", "一班", "1", "--cancel"});
  ok({"add", "2099-01-07", "一班", "2", "--teacher", "8"});
  AdminRun status = testing::RunAdmin(store_.path(), {"status", "--date", "2099-01-07"});
  const std::string first = status.output.substr(status.output.find('\n') + 1);
  EXPECT_NE(first.find("08:45 关机"), std::string::npos) << status.output;
  EXPECT_LT(first.find("08:45 关机"), first.find('\n')) << status.output;
  EXPECT_NE(status.output.find("1  08:00-08:45  张三(7) 停课"), std::string::npos) << status.output;
  EXPECT_NE(status.output.find("2  09:00-09:45  李四(8) 代"), std::string::npos) << status.output;
  AdminRun csv =
      testing::RunAdmin(store_.path(), {"status", "--date", "2099-01-07", "--format", "csv"});
  EXPECT_NE(csv.output.find(",1,08:00,08:45,张三(7),1,1,0,cancelled,\n"), std::string::npos)
      << csv.output;
  EXPECT_NE(csv.output.find(",2,09:00,09:45,李四(8),1,1,0,substitute,\n"), std::string::npos)
      << csv.output;
}

TEST_F(ChangeCommand, RefusalsAndUsageErrorsWriteNothing) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    const char* said;  // part of the one stderr line of a refusal
  } cases[] = {
      {{"add", "2099-01-07", "二班", "1", "--cancel"}, 1, "no such class: 二班"},
      {{"add", "2099-01-07", "一班", "1", "--teacher", "99"}, 1, "no teacher has the number: 99"},
      {{"add", "2099-01-07", "一班", "0", "--cancel"}, 1, "a period is 1 to 7, not: 0"},
      {{"add", "2099-01-07", "一班", "8", "--cancel"}, 1, "a period is 1 to 7, not: 8"},
      {{"add", "2099-01-07", "一班", "3", "--cancel"}, 1, "period 3 of 一班 has no times on"},
      {{"add", "2099-01-10", "一班", "1", "--cancel"}, 1, "has no times on 2099-01-10"},
      {{"add", "2099-01-07", "一班", "1"}, 2, ""},
      {{"add", "2099-01-07", "一班", "1", "--cancel", "--teacher", "8"}, 2, ""},
      {{"add", "2099-02-30", "一班", "1", "--cancel"}, 2, ""},
      {{"add", "2099-01-07", "一班", "first", "--cancel"}, 2, ""},
      {{"remove", "2099-01-07", "一班"}, 2, ""},
      {{"list", "--format", "xml"}, 2, ""},
  };
  for (const Case& c : cases) {
    AdminRun result = run(c.arguments);
    std::string line;
    for (const std::string& argument : c.arguments)
      line += argument + " ";
    SCOPED_TRACE(line + ": " + result.errors);
    EXPECT_EQ(result.code, c.code);
    if (c.code == 1) {
      EXPECT_NE(result.errors.find(c.said), std::string::npos);
      EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1);
    }
  }
  EXPECT_EQ(changes(), "");
}

// A Saturday that follows Friday has Friday's periods: only the first has times.
TEST_F(ChangeCommand, AMakeUpDayCountsTheFollowedWeekdaysPeriods) {
  store_.exec(
      "Insert into tbl_calendar (date_day, kind, weekday, class_Name, note) Values "
      "('2099-01-10', 'follows', '星期五', '', '')");
  ok({"add", "2099-01-10", "一班", "1", "--teacher", "8"});
  AdminRun second = run({"add", "2099-01-10", "一班", "2", "--cancel"});
  EXPECT_EQ(second.code, 1) << second.errors;
  EXPECT_EQ(changes(), "2099-01-10 1 substitute 8");
  AdminRun status = testing::RunAdmin(store_.path(), {"status", "--date", "2099-01-10"});
  EXPECT_NE(status.output.find("10:00-10:45  李四(8) 代"), std::string::npos) << status.output;
}

}  // namespace
}  // namespace brenlow
