// The real brenlow-admin showing and editing a class's timetable: timetable, period set, course
// set, class rename and the class records the shell refuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/admin_fixture.h"

namespace brenlow {
namespace {

using Lines = std::vector<std::string>;
using AdminTimetable = testing::AdminFixture;

TEST_F(AdminTimetable, PeriodSetWritesWhatApplyWritesAndTimetableShowsIt) {
  store_.addClass("一班", "10.0.0.5");
  store_.addTeacher("65-10-0-1", "张三");
  EXPECT_EQ(ok({"period", "set", "一班", "星期二", "1", "--start", "8:05", "--end", "08:50",
                "--teacher", "65-10-0-1", "--auto-on", "1"}),
            "已写入 1 节\n");
  // As the editor writes them: whole numbers without leading zeros, the teacher's NameNumb.
  EXPECT_EQ(store_.column("select StartH||'|'||StartM||'|'||EndH||'|'||EndM||'|'||ThName||'|'||"
                          "AutoOn||AutoOff from tblkcTime where Week='星期二' order by ID limit 2"),
            (Lines{"8|5|8|50|张三(65-10-0-1)|10", " | | | | |00"}));
  ok({"course", "set", "一班", "tuesday", "1", "语文"});
  EXPECT_EQ(store_.value("select count(*) from tblkc where BJName='一班'"), "7");

  EXPECT_EQ(ok({"timetable", "一班", "--day", "2"}),
            "星期    节  开始   结束   课程  老师             自动开机  自动关机\n"
            "星期二  1   08:05  08:50  语文  张三(65-10-0-1)  是\n"
            "        2\n        3\n        4\n        5\n        6\n        7\n");
  std::string csv = ok({"timetable", "一班", "--format", "csv"});
  EXPECT_EQ(csv.substr(0, csv.find('\n')), "day,period,start,end,course,teacher,auto_on,auto_off");
  EXPECT_NE(csv.find("\n星期二,1,08:05,08:50,语文,张三(65-10-0-1),1,0\n"), std::string::npos);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 36);

  auto json = nlohmann::json::parse(ok({"timetable", "一班", "--format", "json"}));
  EXPECT_EQ(json["class"], "一班");
  ASSERT_EQ(json["courses"].size(), 7u);
  EXPECT_EQ(json["courses"][0], nlohmann::json({"", "语文", "", "", ""}));
  ASSERT_EQ(json["periods"].size(), 5u);
  EXPECT_EQ(json["periods"]["星期二"][0],
            nlohmann::json::parse(R"j({"period":1,"start":"08:05","end":"08:50",
                "teacher":"张三(65-10-0-1)","auto_on":1,"auto_off":0})j"));
  EXPECT_EQ(json["periods"]["星期五"][6],
            nlohmann::json::parse(R"({"period":7,"start":null,"end":null,"teacher":null,
                "auto_on":0,"auto_off":0})"));
}

TEST_F(AdminTimetable, PeriodSetForEveryPeriodIsOneTransaction) {
  store_.addClass("一班");
  store_.addClass("二班");
  EXPECT_EQ(ok({"period", "set", "--all-classes", "--all-days", "--all-periods", "--auto-on", "1",
                "--auto-off", "1"}),
            "已写入 70 节\n");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where AutoOn=1 and AutoOff=1"), "70");

  // One class's period would end before it starts: nothing at all is written.
  ok({"period", "set", "二班", "5", "3", "--start", "10:00", "--end", "10:45"});
  refused({"period", "set", "--all-classes", "--all-days", "3", "--end", "9:30"},
          "二班 星期五 第 3 节");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where EndH='9'"), "0");

  const struct {
    Lines arguments;
    std::string part;
  } refusals[] = {
      {{"period", "set", "三班", "1", "1", "--auto-on", "1"}, "没有这个班级：三班"},
      {{"period", "set", "一班", "1", "1", "--teacher", "99"}, "没有这个工号的老师：99"},
      {{"period", "set", "一班", "1", "1", "--start", "8"}, "--start expects HH:MM"},
      {{"period", "set", "一班", "1", "1", "--start", "24:00"}, "--start expects HH:MM"},
      {{"period", "set", "一班", "1", "1", "--end", "8:5"}, "--end expects HH:MM"},
      {{"period", "set", "一班", "1", "1", "--start", "9:00", "--end", "9:00"}, "不在开始时间"},
      {{"period", "set", "一班", "saturday", "1", "--auto-on", "1"}, "WEEKDAY expects"},
      {{"period", "set", "一班", "1", "8", "--auto-on", "1"}, "from 1 to 7"},
      {{"period", "set", "一班", "1", "--auto-on", "1"}, "--all-periods"},
      {{"course", "set", "一班", "1", "1", std::string(20, 'c')}, "19"},
  };
  const std::string before = store_.value(
      "select group_concat(StartH||EndH||AutoOn) from "
      "tblkcTime");
  for (const auto& refusal : refusals)
    refused(refusal.arguments, refusal.part);
  EXPECT_EQ(store_.value("select group_concat(StartH||EndH||AutoOn) from tblkcTime"), before);
  EXPECT_EQ(run({"period", "set", "一班", "1", "1"}).code, 2);  // nothing to change
  EXPECT_EQ(run({"period", "set", "一班", "1", "1", "--auto-on", "2"}).code, 2);
}

TEST_F(AdminTimetable, ClassRenameCarriesTimetableAndHistory) {
  store_.addClass("一班", "10.0.0.5");
  store_.addClass("二班", "10.0.0.6");
  ok({"course", "set", "一班", "1", "1", "语文"});
  store_.exec("Insert into tbl_teacher_usetime (class_Name) Values ('一班')");
  ok({"class", "rename", "一班", "初一（1）班"});
  for (const char* table : {"tblkc", "tblkcTime"}) {
    EXPECT_EQ(store_.value(std::string("select count(*) from ") + table + " where BJName='一班'"),
              "0");
  }
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where BJName='初一（1）班'"), "35");
  EXPECT_EQ(store_.value("select Monday from tblkc where BJName='初一（1）班' order by ID limit 1"),
            "语文");
  EXPECT_EQ(store_.value("select class_Name from tbl_teacher_usetime"), "初一（1）班");
  refused({"class", "rename", "初一（1）班", "二班"}, "班级已存在");
  refused({"class", "rename", "三班", "四班"}, "没有这个班级");

  ok({"class", "set", "二班", "--pc-address", "10.0.1.6"});
  EXPECT_EQ(store_.value("select PCIP from tblbj where Name='二班'"), "10.0.1.6");
}

// The shell refuses what terminals and controllers could not use; nothing is written.
TEST_F(AdminTimetable, RecordsThatTheRoomsCouldNotUseAreRefused) {
  store_.addClass("一班", "10.0.0.5");
  const std::string mac = "00-1A-2B-3C-4D-5E";
  const struct {
    Lines arguments;
    std::string part;
  } refusals[] = {
      {{"class", "add", "二班", "10.0.0.6 ", mac, "p"}, "不是点分的 IPv4 地址"},
      {{"class", "add", "二班", "10.0.0.256", mac, "p"}, "不是点分的 IPv4 地址"},
      {{"class", "add", "二班", "10.0.0", mac, "p"}, "不是点分的 IPv4 地址"},
      {{"class", "add", "二班", "10.0.0.6", "00:1A:2B:3C:4D:5E", "p"}, "MAC 不是"},
      {{"class", "add", "二班", "10.0.0.5", mac, "p"}, "已是班级 一班 的"},
      {{"class", "add", " 二班", "10.0.0.6", mac, "p"}, "前后不能有空格"},
      {{"class", "add", "二班\u3000", "10.0.0.6", mac, "p"}, "前后不能有空格"},
      {{"class", "add", std::string(20, 'x'), "10.0.0.6", mac, "p"}, "19"},
      {{"class", "rename", "一班", "二班 "}, "前后不能有空格"},
      {{"class", "set", "一班", "--address", "1.2.3.4.5"}, "不是点分的 IPv4 地址"},
      {{"class", "set", "一班", "--pc-address", "pc1"}, "不是点分的 IPv4 地址"},
      {{"class", "set", "一班", "--mac", "001A2B3C4D5E"}, "MAC 不是"},
      {{"teacher", "add", "", "张三"}, "请输工号!"},
  };
  for (const auto& refusal : refusals)
    refused(refusal.arguments, refusal.part);
  EXPECT_EQ(store_.value("select count(*) from tblbj"), "1");
  EXPECT_EQ(store_.value("select ZKIP||PCIP||PCMacAddr from tblbj"), "10.0.0.5");
  // 19 characters fit, and an empty hardware address clears it.
  ok({"class", "add", std::string(19, 'x'), "10.0.0.7", mac, "p"});
  ok({"class", "set", "一班", "--mac", ""});
}

}  // namespace
}  // namespace brenlow
