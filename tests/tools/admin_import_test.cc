// The real brenlow-admin importing files as a new administrator makes them: a spreadsheet's
// GBK, a Linux editor's UTF-8 without a mark, mistakes on purpose. Every import says what it
// wrote and each line it skipped; a pair of timetable files is written whole or not at all.
#include <gtest/gtest.h>

#include "tools/admin_fixture.h"

namespace brenlow {
namespace {

using Lines = std::vector<std::string>;
using AdminImport = testing::AdminFixture;

const std::string kTimes = "Time,StartH,StartM,EndH,EndM\n1,8,0,8,45\n2,8,55,9,40\n";

TEST_F(AdminImport, TimetablePairSaysWhatItWroteAndWhatItSkipped) {
  store_.addClass("一班");
  store_.addClass("二班");
  // UTF-8 without a byte-order mark, as a Linux editor saves it.
  const std::string courses = file("c.csv",
                                   "BJName,Monday,Tuesday,Wednesday,Thursday,Friday\n"
                                   "一班,语文,数学,英语,物理,化学\n"
                                   "初一（1）班,语文,数学,英语,物理,化学\n"
                                   "二班,数学,语文,英语,物理,化学\n");
  const std::string times = file("t.csv", kTimes);

  EXPECT_EQ(ok({"import-timetable", times, courses, "--dry-run"}),
            "时间表按 GBK 读取\n课程表按 UTF-8 读取\n"
            "时间表：将写入 2 个班级的 20 节\n课程表：将写入 2 个班级的 2 行课程\n"
            "第 3 行：班级 \"初一（1）班\" 不存在，已跳过\n试运行：什么也没有写入。\n");
  EXPECT_EQ(store_.value("select count(*) from tblkc"), "0");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where StartH='8'"), "0");

  EXPECT_EQ(ok({"import-timetable", times, courses}),
            "时间表按 GBK 读取\n课程表按 UTF-8 读取\n"
            "时间表：已写入 2 个班级的 20 节\n课程表：已写入 2 个班级的 2 行课程\n"
            "第 3 行：班级 \"初一（1）班\" 不存在，已跳过\n导入成功!\n");
  EXPECT_EQ(store_.value("select Monday from tblkc where BJName='二班' order by ID limit 1"),
            "数学");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where StartH='8'"), "20");
}

TEST_F(AdminImport, AFaultyFileRefusesThePairWhole) {
  store_.addClass("一班");
  const std::string courses =
      file("c.csv", "BJName,Monday,Tuesday,Wednesday,Thursday,Friday\n一班,语文,,,,\n");
  const struct {
    std::string times;
    std::string part;
  } cases[] = {
      {"Time,StartH,StartM,EndH,EndM\n1,8:00,0,8,45\n",
       "第 2 行第 2 项 StartH 不是 0-23 的整数：\"8:00\""},
      {"Time,StartH,StartM,EndH,EndM\n1,8,0,8,45\n2,9,ab,9,40\n", "第 3 行第 3 项 StartM"},
      {"Time,StartH,StartM,EndH,EndM\n1,8,0,99,45\n", "第 2 行第 4 项 EndH"},
      {"Time,StartH,StartM,EndH,EndM\n1,8,0,8,60\n", "第 2 行第 5 项 EndM"},
      {"Time,StartH,StartM,EndH,EndM\n1,8,0,8,45\n2," + std::string(5000, '9') + ",0,9,0\n",
       "第 3 行长于 4 KiB"},
      {std::string("Time,StartH,StartM,EndH,EndM\n1,8,0\0,8,45\n", 42), "第 2 行含有 NUL 字符"},
  };
  for (const auto& c : cases) {
    testing::AdminRun result = run({"import-timetable", file("t.csv", c.times), courses});
    EXPECT_EQ(result.code, 1) << c.part;
    EXPECT_NE(result.errors.find(c.part), std::string::npos) << result.errors;
    EXPECT_NE(result.output.find("两个文件都未写入。"), std::string::npos) << result.output;
  }
  // A blank time stays allowed: the period is not in use.
  ok({"import-timetable", file("t.csv", "Time,StartH,StartM,EndH,EndM\n1, , , , \n"), courses});
  store_.exec("Delete from tblkc");
  // The time table is good, the course table is not: neither is written.
  refused({"import-timetable", file("t.csv", kTimes), file("bad.csv", "BJName\n")}, "第 1 行应为");
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where StartH='8'"), "0");
  // A field too long is quoted cut to 60 characters, never repeated whole.
  testing::AdminRun longField =
      run({"import-timetable", file("t.csv", kTimes),
           file("c.csv", "BJName,Monday,Tuesday,Wednesday,Thursday,Friday\n一班," +
                             std::string(3000, 'x') + ",,,,\n")});
  EXPECT_EQ(longField.code, 1);
  EXPECT_LT(longField.errors.size(), 400u) << longField.errors;
  EXPECT_NE(longField.errors.find(std::string(60, 'x') + "…\""), std::string::npos);
}

TEST_F(AdminImport, TeacherFileReportsEachSkippedLine) {
  store_.addTeacher("65-1-1-1", "张三");
  const std::string teachers = file("t.csv",
                                    "Numb,Name\n"
                                    "65-1-1-1,张三\n"
                                    "65-1-1-2,李四\n"
                                    "65-1-1-3,\n"
                                    "王五\n" +
                                        std::string(24, '9') +
                                        ",赵六\n"
                                        "65-1-1-4,钱七\n");
  const std::string summary =
      "第 2 行：工号 \"65-1-1-1\" 已存在，已跳过\n"
      "第 4 行：姓名为空，已跳过\n"
      "第 5 行：没有逗号，不是“工号,姓名”，已跳过\n"
      "第 6 行：工号或姓名多于 23 个字符，已跳过\n";
  EXPECT_EQ(ok({"import-teachers", teachers, "--dry-run"}),
            "按 UTF-8 读取\n将写入 2 位老师\n" + summary + "试运行：什么也没有写入。\n");
  EXPECT_EQ(store_.value("select count(*) from tblThMes"), "1");
  EXPECT_EQ(ok({"import-teachers", teachers}),
            "按 UTF-8 读取\n已写入 2 位老师\n" + summary + "导入成功！\n");
  EXPECT_EQ(store_.column("select NameNumb from tblThMes order by ID"),
            (Lines{"张三(65-1-1-1)", "李四(65-1-1-2)", "钱七(65-1-1-4)"}));

  // What cannot be a teacher file is refused before it is read on.
  refused({"import-teachers", "/dev/zero"}, "文件大于 16 MiB");
  refused({"import-teachers", file("nul.csv", std::string("Numb,Name\n1,a\0b\n", 15))},
          "第 2 行含有 NUL 字符");
  EXPECT_EQ(store_.value("select count(*) from tblThMes"), "3");

  // export-teachers - writes the file to standard output, in code page 936.
  EXPECT_EQ(ok({"export-teachers", "-"}).substr(0, 26),
            "Numb,Name\r\n65-1-1-1,\xD5\xC5\xC8\xFD\r\n");
}

// A store failure on the third teacher leaves the table as it was: the two before it are rolled
// back with it, and nothing claims they were written.
TEST_F(AdminImport, ATeacherImportFailingMidWayWritesNothing) {
  store_.addTeacher("65-1-1-1", "张三");
  store_.exec(
      "Create trigger full before insert on tblThMes when new.Numb = '65-1-1-4' "
      "begin select raise(abort, 'database or disk is full'); end");
  testing::AdminRun result = run(
      {"import-teachers",
       file("t.csv", "Numb,Name\n65-1-1-2,李四\n65-1-1-3,王五\n65-1-1-4,赵六\n65-1-1-5,钱七\n")});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.output, "按 UTF-8 读取\n");
  EXPECT_EQ(
      result.errors,
      "brenlow-admin: import-teachers " + store_.folder() +
          "/t.csv: 导入失败！ 第 4 行：无法写入老师表，未导入。 (database or disk is full)\n");
  EXPECT_EQ(store_.column("select Numb from tblThMes order by ID"), Lines{"65-1-1-1"});
}

// The import texts are the dialogs' own, each with its own exclamation mark: ASCII for the
// timetable import, full-width for the teacher import.
TEST_F(AdminImport, RefusalsCarryTheDialogsTexts) {
  refused({"import-teachers", file("t.csv", "numb,name\n1,a\n")}, ": 导入失败！ ");
  refused({"import-timetable", file("t.csv", "Time,StartH\n"),
           file("c.csv", "BJName,Monday,Tuesday,Wednesday,Thursday,Friday\n")},
          "import-timetable: 导入失败! " + store_.folder() + "/t.csv: 文件错误! ");
}

}  // namespace
}  // namespace brenlow
