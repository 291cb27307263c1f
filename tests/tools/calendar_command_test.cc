// The real brenlow-admin's calendar commands on temporary databases, and what the calendar does
// to status, check, backup and restore.
#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using Lines = std::vector<std::string>;

class CalendarCommand : public ::testing::Test {
 protected:
  void SetUp() override { store_.addClass("一班", "10.0.0.5"); }

  AdminRun run(std::vector<std::string> arguments) {
    return testing::RunAdmin(store_.path(), std::move(arguments));
  }
  std::string ok(std::vector<std::string> arguments) {
    AdminRun result = run(arguments);
    EXPECT_EQ(result.code, 0) << result.errors;
    EXPECT_EQ(result.errors, "");
    return result.output;
  }
  std::string file(const std::string& name, const std::string& bytes) {
    const std::string path = store_.folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  Lines entries() {
    return store_.column(
        "select date_day || ' ' || kind || ' ' || weekday || '|' || class_Name || '|' || note "
        "from tbl_calendar Order by date_day, class_Name");
  }

  testing::TempDatabase store_;
};

TEST_F(CalendarCommand, AddReplaceRangeRemoveAndListInEveryFormat) {
  ok({"calendar", "add", "2026-10-01..2026-10-03", "off", "--note", "国庆节"});
  ok({"calendar", "add", "2026-10-02", "off", "--note", "国庆"});  // replaces
  ok({"calendar", "add", "2026-10-02", "off", "--class", "一班", "--note", "a,\"b\""});
  ok({"calendar", "add", "2026-10-10", "follows", "friday"});
  ok({"calendar", "add", "2026-10-11", "follows", "5", "--note", "补班"});
  EXPECT_EQ(entries(), (Lines{"2026-10-01 off ||国庆节", "2026-10-02 off ||国庆",
                              "2026-10-02 off |一班|a,\"b\"", "2026-10-03 off ||国庆节",
                              "2026-10-10 follows 星期五||", "2026-10-11 follows 星期五||补班"}));
  EXPECT_EQ(ok({"calendar", "list", "--from", "2026-10-02", "--to", "2026-10-10"}),
            "日期        类型  按星期  班级  备注\n"
            "2026-10-02  放假          全校  国庆\n"
            "2026-10-02  放假          一班  a,\"b\"\n"
            "2026-10-03  放假          全校  国庆节\n"
            "2026-10-10  调休  星期五  全校\n");
  const std::string csv = ok({"calendar", "list", "--to", "2026-10-02", "--format", "csv"});
  EXPECT_EQ(csv,
            "date,kind,weekday,class,note\n"
            "2026-10-01,off,,,国庆节\n"
            "2026-10-02,off,,,国庆\n"
            "2026-10-02,off,,一班,\"a,\"\"b\"\"\"\n");
  EXPECT_EQ(
      ok({"calendar", "list", "--from", "2026-10-02", "--to", "2026-10-10", "--format", "json"}),
      R"([
  {
    "date": "2026-10-02",
    "kind": "off",
    "weekday": null,
    "class": null,
    "note": "国庆"
  },
  {
    "date": "2026-10-02",
    "kind": "off",
    "weekday": null,
    "class": "一班",
    "note": "a,\"b\""
  },
  {
    "date": "2026-10-03",
    "kind": "off",
    "weekday": null,
    "class": null,
    "note": "国庆节"
  },
  {
    "date": "2026-10-10",
    "kind": "follows",
    "weekday": "星期五",
    "class": null,
    "note": ""
  }
]
)");
  EXPECT_EQ(ok({"calendar", "remove", "2026-10-01..2026-10-10"}), "removed 4\n");
  EXPECT_EQ(ok({"calendar", "remove", "2026-10-02", "--class", "一班"}), "removed 1\n");
  EXPECT_EQ(entries(), (Lines{"2026-10-11 follows 星期五||补班"}));
  // What list writes as CSV, import reads back.
  ok({"calendar", "remove", "2026-10-11"});
  EXPECT_EQ(ok({"calendar", "import", file("list.csv", csv)}), "imported 3\n");
  EXPECT_EQ(entries(), (Lines{"2026-10-01 off ||国庆节", "2026-10-02 off ||国庆",
                              "2026-10-02 off |一班|a,\"b\""}));
}

TEST_F(CalendarCommand, RefusalsWriteNothing) {
  ok({"calendar", "add", "2026-09-01", "off"});
  struct Case {
    Lines arguments;
    int code;
    const char* says;
  } cases[] = {
      {{"add", "2026-02-30", "off"}, 1, "not a date: 2026-02-30"},
      {{"add", "2026-10-01..2026-02-30", "off"}, 1, "not a date: 2026-02-30"},
      {{"add", "2026-10-07..2026-10-01", "off"}, 1, "ends before it begins"},
      {{"add", "2026-01-01..2027-01-02", "off"}, 1, "at most 366 days"},
      {{"add", "2026-10-01", "off", "--class", "九班"}, 1, "no such class: 九班"},
      {{"add", "2026-10-10", "follows", "星期六"}, 1, "星期一 to 星期五, not: 星期六"},
      {{"add", "2026-10-10", "follows", "sunday"}, 1, "星期一 to 星期五"},
      {{"add", "2026-10-10", "follows", "星期一", "--class", "一班"}, 2, "whole school"},
      {{"add", "2026-10-10", "follows"}, 2, "needs the WEEKDAY"},
      {{"add", "2026-10-10", "off", "星期一"}, 2, "off takes no WEEKDAY"},
      {{"add", "2026-10-10", "holiday"}, 2, "holiday"},
      {{"remove", "2026-13-01"}, 1, "not a date"},
      {{"import", "/nonexistent/file.csv"}, 1, "cannot be read"},
  };
  for (const Case& c : cases) {
    Lines arguments = c.arguments;
    arguments.insert(arguments.begin(), "calendar");
    AdminRun result = run(arguments);
    EXPECT_EQ(result.code, c.code) << c.arguments[1];
    EXPECT_NE(result.errors.find(c.says), std::string::npos) << result.errors;
    if (c.code == 1) {
      EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    }
  }
  EXPECT_EQ(entries(), (Lines{"2026-09-01 off ||"}));
}

TEST_F(CalendarCommand, ImportsAHolidayDataSet) {
  const std::string holidays = file("2026.json", R"({
  "year": 2026,
  "days": [
    {"name": "国庆节", "date": "2026-10-01", "isOffDay": true},
    {"name": "国庆节", "date": "2026-10-02", "isOffDay": true},
    {"name": "国庆节", "date": "2026-09-27", "isOffDay": false},
    {"name": "国庆节", "date": "2026-10-10", "isOffDay": false}
  ]
})");
  EXPECT_EQ(ok({"calendar", "import", holidays, "--follows", "2026-09-27=星期三"}),
            "imported 3\n"
            "2026-10-10 国庆节 补班：用 calendar add 2026-10-10 follows 星期X 指定\n");
  EXPECT_EQ(entries(), (Lines{"2026-09-27 follows 星期三||国庆节", "2026-10-01 off ||国庆节",
                              "2026-10-02 off ||国庆节"}));
  // Refused whole: a --follows date the file does not hold, a day that is no day.
  store_.exec("Delete from tbl_calendar");
  AdminRun stray = run({"calendar", "import", holidays, "--follows", "2026-10-11=3"});
  EXPECT_EQ(stray.code, 1);
  EXPECT_NE(stray.errors.find("2026-10-11"), std::string::npos) << stray.errors;
  AdminRun faulty = run({"calendar", "import", file("bad.json", R"({"days": [
    {"name": "元旦", "date": "2026-01-01", "isOffDay": true},
    {"name": "x", "date": "2026-02-30", "isOffDay": true}]})")});
  EXPECT_EQ(faulty.code, 1);
  EXPECT_NE(faulty.errors.find("day 2 (2026-02-30): not a date"), std::string::npos)
      << faulty.errors;
  AdminRun broken = run({"calendar", "import", file("broken.json", "{\"days\": [\n  {,\n]}")});
  EXPECT_EQ(broken.code, 1);
  EXPECT_NE(broken.errors.find("line 2"), std::string::npos) << broken.errors;
  EXPECT_TRUE(entries().empty());
}

TEST_F(CalendarCommand, ImportsCsvInEitherEncodingAndRefusesAFaultyFileWhole) {
  struct Case {
    const char* what;
    std::string bytes;
  } good[] = {
      {"UTF-8 with a byte-order mark",
       "\xEF\xBB\xBF"
       "date,kind,weekday,class,note\r\n2026-10-01,放假,,,国庆节\r\n2026-10-10,调休,3,,\r\n"},
      {"UTF-8 without one",
       "date,kind,weekday,class,note\n2026-10-01,off,,,国庆节\n\n"
       "2026-10-10,follows,星期三,,\n"},
      // 放假 ,国庆节 and 一班 in code page 936.
      {"code page 936",
       "date,kind,weekday,class,note\r\n2026-10-01,\xB7\xC5\xBC\xD9,,,"
       "\xB9\xFA\xC7\xEC\xBD\xDA\r\n2026-10-10,follows,wednesday\r\n"},
  };
  for (const Case& c : good) {
    store_.exec("Delete from tbl_calendar");
    EXPECT_EQ(ok({"calendar", "import", file("good.csv", c.bytes)}), "imported 2\n") << c.what;
    EXPECT_EQ(entries(), (Lines{"2026-10-01 off ||国庆节", "2026-10-10 follows 星期三||"}))
        << c.what;
  }
  store_.exec("Delete from tbl_calendar");
  const std::string header = "date,kind,weekday,class,note\n2026-10-01,off,,,\n";
  const Case bad[] = {
      {"line 3: not a date: 2026-02-30", header + "2026-02-30,off,,,\n"},
      {"line 3: no such class: 九班", header + "2026-10-02,off,,九班,\n"},
      {"line 3: a make-up day follows 星期一 to 星期五", header + "2026-10-10,follows,星期六,,\n"},
      {"line 3: a make-up day is for the whole school", header + "2026-10-10,follows,1,一班,\n"},
      {"line 3: the kind must be", header + "2026-10-10,holiday,,,\n"},
      {"line 1: the header must be", "date,kind\n2026-10-01,off\n"},
  };
  for (const Case& c : bad) {
    AdminRun result = run({"calendar", "import", file("bad.csv", c.bytes)});
    EXPECT_EQ(result.code, 1) << c.what;
    EXPECT_NE(result.errors.find(c.what), std::string::npos) << result.errors;
  }
  EXPECT_TRUE(entries().empty());
}

TEST_F(CalendarCommand, StatusShowsTheDay) {
  store_.exec(
      "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', AutoOn=1, AutoOff=1, "
      "ThName='张三(12)' where ID=(select ID from tblkcTime where BJName='一班' and "
      "Week='星期三' order by ID limit 1)");
  ok({"calendar", "add", "2099-01-07", "off", "--note", "考试"});
  ok({"calendar", "add", "2099-01-10", "follows", "星期三"});
  // A day to come: actions count from its start. The day off keeps only the power-off.
  const std::string off = ok({"status", "--date", "2099-01-07", "--format", "json"});
  EXPECT_NE(off.find(R"("day": {
      "kind": "off",
      "weekday": "星期三",
      "note": "考试"
    },
    "current": null,
    "next": {
      "time": "08:45",
      "action": "power-off"
    })"),
            std::string::npos)
      << off;
  EXPECT_NE(ok({"status", "--date", "2099-01-07"}).find("放假：考试  08:45 关机"),
            std::string::npos);
  const std::string saturday = ok({"status", "--date", "2099-01-10"});
  EXPECT_NE(saturday.find("调休：按星期三  08:00 开机"), std::string::npos) << saturday;
  EXPECT_NE(ok({"status", "--date", "2099-01-10", "--format", "csv"}).find(",follows,08:00,"),
            std::string::npos);
}

TEST_F(CalendarCommand, CheckBackupAndRestoreKnowTheCalendar) {
  ok({"calendar", "add", "2026-10-01", "off", "--note", "国庆节"});
  EXPECT_EQ(ok({"check"}), "ok\n");
  const std::string copy = store_.folder() + "/copy.db";
  ok({"backup", copy});
  ok({"calendar", "remove", "2026-10-01"});
  ok({"restore", copy});
  EXPECT_EQ(entries(), (Lines{"2026-10-01 off ||国庆节"}));

  // A calendar table without its columns is a fault.
  store_.exec("Drop table tbl_calendar; Create table tbl_calendar (ID INTEGER PRIMARY KEY)");
  AdminRun damaged = run({"check"});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_NE(damaged.output.find("column tbl_calendar.date_day is missing"), std::string::npos)
      << damaged.output << damaged.errors;
}

TEST_F(CalendarCommand, AnOlderDatabaseGainsTheTableAndKeepsItsData) {
  store_.exec("Drop table tbl_calendar");
  EXPECT_EQ(ok({"check"}), "ok\n");  // sound before its first open for writing
  const std::string older = store_.folder() + "/older.db";
  ok({"backup", older});
  ok({"calendar", "add", "2026-10-01", "off"});
  EXPECT_EQ(entries(), (Lines{"2026-10-01 off ||"}));
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where BJName='一班'"), "35");
  // Restoring a copy made before the table existed gives the table back at once.
  ok({"restore", older});
  EXPECT_TRUE(entries().empty());
  EXPECT_EQ(store_.value("select count(*) from tblbj"), "1");
}

}  // namespace
}  // namespace brenlow
