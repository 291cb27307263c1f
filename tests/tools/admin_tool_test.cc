// The real brenlow-admin on temporary databases: every command's main path and its refusals.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "core/clock.h"
#include "core/weekdays.h"
#include "records/gbk_text_file.h"
#include "support/temp_database.h"
#include "tools/admin_fixture.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using testing::Quote;
using testing::TempDatabase;
using Lines = std::vector<std::string>;

using AdminTool = testing::AdminFixture;

TEST_F(AdminTool, ClassesFollowTheDialogsRules) {
  ok({"class", "add", "一班", "10.0.0.5", "00-1A-2B-3C-4D-5E", "pw"});
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where BJName='一班'"), "35");
  EXPECT_EQ(store_.column("select Week from tblkcTime where BJName='一班' group by Week "
                          "order by min(ID)"),
            (Lines{"星期一", "星期二", "星期三", "星期四", "星期五"}));
  refused({"class", "add", "一班", "10.0.0.6", "m", "p"}, "班级已存在，请重新添加！");
  refused({"class", "add", "二班", "", "m", "p"}, "请输入中控IP!");
  refused({"class", "add", std::string(40, 'x'), "a", "m", "p"}, "NAME");
  ok({"class", "add", "二班", "10.0.0.6", "00-00-00-00-00-02", "p2"});

  ok({"class", "set", "一班", "--address", "10.0.0.9", "--password", "it's"});
  EXPECT_EQ(ok({"classes", "--format", "csv"}),
            "class,address,mac,password\n一班,10.0.0.9,00-1A-2B-3C-4D-5E,it's\n"
            "二班,10.0.0.6,00-00-00-00-00-02,p2\n");
  refused({"class", "set", "三班", "--mac", "x"}, "三班");
  refused({"class", "set", "一班", "--mac", std::string(21, 'm')}, "20");
  EXPECT_EQ(run({"class", "set", "一班"}).code, 2);

  store_.exec("Insert into tblkc (BJName) Values ('一班')");
  store_.exec("Insert into tbl_teacher_usetime (class_Name) Values ('一班')");
  ok({"class", "remove", "一班"});
  EXPECT_EQ(store_.value("select count(*) from tblbj where Name='一班'"), "0");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where BJName='一班'"), "0");
  EXPECT_EQ(store_.value("select count(*) from tblkc where BJName='一班'"), "0");
  EXPECT_EQ(store_.value("select count(*) from tbl_teacher_usetime"), "1");
  refused({"class", "remove", "一班"}, "没有这个班级");
  EXPECT_EQ(ok({"classes"}),
            "班级  中控IP    电脑MAC            密码\n二班  10.0.0.6  00-00-00-00-00-02  p2\n");
}

TEST_F(AdminTool, TeachersFollowTheDialogsRulesAndARenameCascades) {
  // A number that no card can have is stored, with a warning.
  AdminRun added = run({"teacher", "add", "12", "张三"});
  EXPECT_EQ(added.code, 0);
  EXPECT_NE(added.errors.find("warning: 12 cannot be a card number"), std::string::npos)
      << added.errors;
  EXPECT_EQ(ok({"teacher", "add", "65-10-0-1", "赵六"}), "");
  refused({"teacher", "add", "12", "李四"}, "工号已存在，请重新输入！");
  refused({"teacher", "add", "13", ""}, "请输入姓名!");
  refused({"teacher", "add", "", "x"}, "请输工号!");
  store_.exec("Delete from tblThMes where Numb='65-10-0-1'");
  std::string longNumber(23, '7');
  EXPECT_EQ(run({"teacher", "add", longNumber, "王五"}).code, 0);
  EXPECT_EQ(store_.column("select NameNumb from tblThMes order by ID"),
            (Lines{"张三(12)", "王五(" + longNumber + ")"}));

  store_.exec("Insert into tblkcTime (BJName, ThName) Values ('一班', '张三(12)')");
  store_.exec("Insert into tbl_teacher_usetime (teacher_Numb, teacher_Name) Values ('12', '张三')");
  ok({"teacher", "rename", "12", "张老师"});
  EXPECT_EQ(store_.value("select ThName from tblkcTime"), "张老师(12)");
  EXPECT_EQ(store_.value("select teacher_Name from tbl_teacher_usetime"), "张老师");
  // A number over 20 characters does not keep its teacher from being renamed.
  ok({"teacher", "rename", longNumber, "王老师"});
  refused({"teacher", "rename", "12", std::string(21, 'n')}, "输入的字符请不要多于 20 个。");
  refused({"teacher", "rename", "99", "x"}, "99");

  EXPECT_EQ(ok({"teachers"}),
            "工号                     姓名    使用时长\n"
            "12                       张老师\n" +
                longNumber + "  王老师\n");
  ok({"teacher", "remove", "12"});
  refused({"teacher", "remove", "12"}, "没有这个工号的老师");
  EXPECT_EQ(store_.value("select ThName from tblkcTime"), "张老师(12)");  // periods keep it
}

TEST_F(AdminTool, UsageErrorsHelpAndAMissingDatabase) {
  EXPECT_EQ(run({}).code, 2);
  EXPECT_EQ(run({"class"}).code, 2);
  EXPECT_EQ(run({"status", "--date", "2026-02-30"}).code, 2);
  EXPECT_EQ(run({"status", "--format", "xml"}).code, 2);
  EXPECT_EQ(run({"usage", "--from", "2026-12-09", "--to", "2026-12-01"}).code, 2);
  AdminRun help = run({"teacher", "rename", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.output.find("NUMBER"), std::string::npos) << help.output;

  AdminRun missing = testing::RunAdmin(store_.folder() + "/absent.db", {"classes"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.errors.find("absent.db"), std::string::npos) << missing.errors;
}

// Wednesday 2099-01-07 lies ahead: nothing runs, actions count from its start.
TEST_F(AdminTool, StatusAsTableCsvAndJson) {
  store_.addClass("初二甲", "10.0.0.5");
  store_.addClass("一班", "10.0.0.6");
  store_.exec("Update tblbj set Status=1 where Name='初二甲'");
  store_.exec("Insert into tbl_last_report (class, time) Values ('初二甲', '2020-05-06T07:59:58')");
  // The server started before that report; 一班 has not reported since.
  store_.exec(
      "Insert into tbl_server_state (name, value) Values ('started', "
      "'2020-05-06T07:00:00')");
  store_.exec(
      "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', AutoOn=1, "
      "ThName='张三(12)' where ID=(select ID from tblkcTime where BJName='初二甲' and "
      "Week='星期三' order by ID limit 1)");
  store_.exec(
      "Update tblkcTime set StartH='9', StartM='5', EndH='9', EndM='50', AutoOff=1 where "
      "ID=(select ID from tblkcTime where BJName='初二甲' and Week='星期三' order by ID limit 1 "
      "offset 2)");
  EXPECT_EQ(ok({"status", "--date", "2099-01-07"}),
            "班级    中控IP    状态    日程  下一动作    最后上报             节   时间         "
            "老师      "
            "自动开机  自动关机\n"
            "初二甲  10.0.0.5  已开机  上课  08:00 开机  2020-05-06 07:59:58    1  08:00-08:45  "
            "张三(12)  是\n"
            "                                                                   3  09:05-09:50  "
            "                    是\n"
            "一班    10.0.0.6  未知    上课              无\n");
  EXPECT_EQ(
      ok({"status", "--date", "2099-01-07", "--format", "csv"}),
      "class,address,status,day,next_time,next_action,period,start,end,teacher,auto_on,"
      "auto_off,running,change,last_report\n"
      "初二甲,10.0.0.5,on,school,08:00,power-on,1,08:00,08:45,张三(12),1,0,0,,2020-05-06T07:59:58\n"
      "初二甲,10.0.0.5,on,school,08:00,power-on,3,09:05,09:50,,0,1,0,,2020-05-06T07:59:58\n"
      "一班,10.0.0.6,unknown,school,,,,,,,,,,,\n");
  EXPECT_EQ(ok({"status", "--date", "2099-01-10", "--format", "json"}),
            R"([
  {
    "class": "初二甲",
    "address": "10.0.0.5",
    "status": "on",
    "last_report": "2020-05-06T07:59:58",
    "day": {
      "kind": "weekend",
      "weekday": null,
      "note": ""
    },
    "current": null,
    "next": null,
    "periods": []
  },
  {
    "class": "一班",
    "address": "10.0.0.6",
    "status": "unknown",
    "last_report": null,
    "day": {
      "kind": "weekend",
      "weekday": null,
      "note": ""
    },
    "current": null,
    "next": null,
    "periods": []
  }
]
)");
  // A day gone has no action left.
  EXPECT_NE(ok({"status", "--date", "2020-01-08", "--format", "csv"}).find(",on,school,,,1,"),
            std::string::npos);
}

TEST_F(AdminTool, StatusTodayMarksThePeriodRunningNow) {
  LocalTime now = SystemClock().now();
  const int start = now.minutesSinceMidnight() - 1;
  const int end = now.minutesSinceMidnight() + 10;
  if (SchoolWeekdayText(now.weekday) == nullptr || start < 0 || end >= 24 * 60)
    GTEST_SKIP() << "no school period fits around now";
  store_.addClass("一班", "10.0.0.5");
  store_.exec("Update tblkcTime set StartH=" + Quote(std::to_string(start / 60)) + ", StartM=" +
              Quote(std::to_string(start % 60)) + ", EndH=" + Quote(std::to_string(end / 60)) +
              ", EndM=" + Quote(std::to_string(end % 60)) +
              ", AutoOff=1 where ID=(select ID from tblkcTime where BJName='一班' and Week=" +
              Quote(SchoolWeekdayText(now.weekday)) + " order by ID limit 1 offset 1)");
  std::string table = ok({"status"});
  EXPECT_NE(table.find("> 2"), std::string::npos) << table;
  std::string csv = ok({"status", "--format", "csv"});
  EXPECT_NE(csv.find(",power-off,2,"), std::string::npos) << csv;
  EXPECT_EQ(csv.substr(csv.size() - 5), ",1,,\n") << csv;
}

TEST_F(AdminTool, UsageReportsDaysTotalsAndRunningTotals) {
  store_.addTeacher("12", "张三");
  store_.addTeacher("13", "李四");
  store_.exec("Update tblThMes set UseTime='180' where Numb='12'");
  store_.exec(
      "Insert into tbl_teacher_usetime (teacher_Numb, teacher_Name, class_Name, date_day, "
      "use_time) Values ('12', '张三', '一班', '2026-12-09', 45), "
      "('12', '张三', '二班', '2026-12-08', 90), ('12', '张三', '一班', '2026-12-10', 45), "
      "('9', '赵六', '一班', '2026-12-09', 45)");
  // 张三's Wednesday lesson in 一班 is the first period, 语文; 赵六 has none there.
  store_.addClass("一班");
  store_.exec(
      "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', ThName='张三(12)' where "
      "ID=(select ID from tblkcTime where BJName='一班' and Week='星期三' Order by ID limit 1)");
  store_.exec(
      "Insert into tblkc (BJName, Monday, Tuesday, Wednesday, Thursday, Friday) Values "
      "('一班', '', '', '语文', '', '')");
  EXPECT_EQ(ok({"usage"}),
            "工号  姓名  日期        班级  课程  分钟  累计使用时长\n"
            "12    张三  2026-12-08  二班        90\n"
            "12    张三  2026-12-09  一班  语文  45\n"
            "12    张三  2026-12-10  一班        45\n"
            "12    张三  合计                    180   180\n"
            "9     赵六  2026-12-09  一班        45\n"
            "9     赵六  合计                    45\n");
  // Into a pipe, CSV is UTF-8 with a byte-order mark.
  EXPECT_EQ(ok({"usage", "--from", "2026-12-09", "--to", "2026-12-09", "--format", "csv"}),
            "\xEF\xBB\xBFnumber,name,date,class,course,minutes,total,running_total\n"
            "12,张三,2026-12-09,一班,语文,45,45,180\n"
            "9,赵六,2026-12-09,一班,,45,45,\n");
  EXPECT_EQ(ok({"usage", "--from", "2026-12-10", "--format", "json"}),
            R"([
  {
    "number": "12",
    "name": "张三",
    "days": [
      {
        "date": "2026-12-10",
        "class": "一班",
        "course": null,
        "minutes": 45
      }
    ],
    "total": 45,
    "running_total": 180
  }
]
)");
}

TEST_F(AdminTool, UsageGroupedByWeekOrMonthInTheEncodingAsked) {
  store_.addTeacher("12", "张三");
  store_.exec(
      "Insert into tbl_teacher_usetime (teacher_Numb, teacher_Name, class_Name, date_day, "
      "use_time) Values ('12', '张三', '一班', '2026-11-30', 45), "
      "('12', '张三', '二班', '2026-12-06', 90), ('12', '张三', '一班', '2026-12-07', 45), "
      "('9', '赵六', '一班', '2026-12-09', 45)");
  // Weeks from Monday: Sunday 12-06 belongs to the week of Monday 11-30.
  EXPECT_EQ(ok({"usage", "--group-by", "week", "--format", "csv"}),
            "\xEF\xBB\xBFnumber,name,week,minutes,total,running_total\n"
            "12,张三,2026-11-30,135,180,0\n"
            "12,张三,2026-12-07,45,180,0\n"
            "9,赵六,2026-12-07,45,45,\n");
  EXPECT_EQ(ok({"usage", "--group-by", "month"}),
            "工号  姓名  月       分钟  累计使用时长\n"
            "12    张三  2026-11  45\n"
            "12    张三  2026-12  135\n"
            "12    张三  合计     180   0\n"
            "9     赵六  2026-12  45\n"
            "9     赵六  合计     45\n");
  EXPECT_EQ(ok({"usage", "--group-by", "day", "--to", "2026-11-30", "--format", "csv", "--encoding",
                "utf-8"}),
            "number,name,date,minutes,total,running_total\n12,张三,2026-11-30,45,45,0\n");
  // Code page 936: 张三 and 赵六 read back from GBK.
  const std::string gbk =
      ok({"usage", "--group-by", "week", "--format", "csv", "--encoding", "gbk"});
  std::string utf8;
  size_t bad = 0;
  ASSERT_TRUE(DecodeGbk(gbk, utf8, bad)) << bad;
  EXPECT_EQ(utf8,
            "number,name,week,minutes,total,running_total\n"
            "12,张三,2026-11-30,135,180,0\n"
            "12,张三,2026-12-07,45,180,0\n"
            "9,赵六,2026-12-07,45,45,\n");
  EXPECT_EQ(testing::RunAdmin(store_.path(), {"usage", "--group-by", "year"}).code, 2);
}

TEST_F(AdminTool, FilesAreReadAndWrittenAsTheDialogsDo) {
  store_.addClass("一班");
  store_.addClass("二班");
  const std::string data = BRENLOW_DIALOGS_TEST_DATA;
  EXPECT_EQ(ok({"import-timetable", data + "/time_table.csv", data + "/course_table.csv"}),
            "时间表按 GBK 读取\n课程表按 GBK 读取\n时间表：已写入 2 个班级的 70 节\n"
            "课程表：已写入 2 个班级的 9 行课程\n导入成功!\n");
  EXPECT_EQ(store_.value("select StartH||':'||StartM from tblkcTime where BJName='二班' order "
                         "by ID limit 1"),
            "8:0");
  EXPECT_EQ(store_.value("select count(*) from tblkc where BJName='一班'"), "7");

  // Bytes that are not GBK refuse their file whole and name the line; the pair is one import,
  // so the other file is not written either.
  store_.exec("Delete from tblkc");
  std::string badTimes =
      file("t.csv", "Time,StartH,StartM,EndH,EndM\r\n1,7,0,7,45\r\n2,\xFF\xFF,0,9,0\r\n");
  refused({"import-timetable", badTimes, data + "/course_table.csv"}, "第 3 行");
  EXPECT_EQ(store_.value("select StartH from tblkcTime where BJName='一班' order by ID limit 1"),
            "8");
  EXPECT_EQ(store_.value("select count(*) from tblkc where BJName='一班'"), "0");

  // Teachers: a file saved as "CSV UTF-8", then an export in code page 936.
  EXPECT_EQ(
      ok({"import-teachers", file("u.csv", "\xEF\xBB\xBFNumb,Name\r\n12,张三\r\n13,李四\r\n")}),
      "按 UTF-8（带 BOM） 读取\n已写入 2 位老师\n导入成功！\n");
  refused({"import-teachers", file("h.csv", "numb,name\r\n14,x\r\n")}, "Numb,Name");
  EXPECT_EQ(store_.value("select count(*) from tblThMes"), "2");
  std::string exported = store_.folder() + "/out.csv";
  EXPECT_EQ(ok({"export-teachers", exported}), "导出成功\n");
  EXPECT_EQ(read(exported), "Numb,Name\r\n12,\xD5\xC5\xC8\xFD\r\n13,\xC0\xEE\xCB\xC4\r\n");
}

TEST_F(AdminTool, BackupRestoreAndCheck) {
  store_.addClass("一班");
  EXPECT_EQ(ok({"check"}), "ok\n");
  std::string copy = store_.folder() + "/copy.db";
  ok({"backup", copy});
  EXPECT_EQ(testing::RunAdmin(copy, {"classes", "--format", "csv"}).output,
            "class,address,mac,password\n一班,,,\n");

  store_.addClass("二班");
  refused({"restore", file("not.db", "not a database at all")}, "not a Brenlow database");
  std::string otherSqlite = store_.folder() + "/other.db";
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(otherSqlite.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "CREATE TABLE tblbj (Name)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(other);
  refused({"restore", otherSqlite}, "column tblbj.ZKIP is missing");
  EXPECT_EQ(store_.value("select count(*) from tblbj"), "2");

  AdminRun restored = run({"restore", copy});
  ASSERT_EQ(restored.code, 0) << restored.errors;
  EXPECT_EQ(store_.column("select Name from tblbj"), Lines{"一班"});
  // The database as it was is kept beside it, named for the moment.
  int saved = 0;
  for (const auto& entry : std::filesystem::directory_iterator(store_.folder())) {
    if (entry.path().filename().string().rfind(
            std::filesystem::path(store_.path()).filename().string() + ".before-restore-", 0) ==
        0) {
      ++saved;
      EXPECT_EQ(testing::RunAdmin(entry.path().string(), {"classes", "--format", "csv"}).output,
                "class,address,mac,password\n一班,,,\n二班,,,\n");
    }
  }
  EXPECT_EQ(saved, 1);
  EXPECT_EQ(ok({"check"}), "ok\n");

  store_.exec("Drop table tblkc");
  AdminRun check = run({"check"});
  EXPECT_EQ(check.code, 1);
  EXPECT_EQ(check.output, "table tblkc is missing\n");
}

}  // namespace
}  // namespace brenlow
