// brenlow-admin events and cards --unknown through the real binary, on events written into a
// test database as the server writes them.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "events/event_time.h"
#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::Quote;
using testing::RunAdmin;
using testing::TempDatabase;

class EventsCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.exec(
        "Insert into tbl_events (time, kind, class, address, port, count, card, teacher, "
        "decision, command, reason, outcome, edit_row, fields, power) Values "
        "('2026-12-09T08:00:00', 'command', '一班', '10.0.0.5', 20108, 1, '', '', '', "
        "'power-on', 'period-start 08:00', '', '', '', ''), "
        "('2026-12-09T07:59:58', 'swipe', '一班', '10.0.0.5', 0, 3, '9-9-9-9', '', "
        "'unknown-card', '', '', '', '', '', ''), "
        "('2026-12-09T08:10:00', 'edit', '二班', '10.0.0.9', 0, 1, '', '', '', '', '', '', "
        "'period week=星期三 row=1', '{\"StartH\":[\"8\",\"9\"]}', ''), "
        "('2026-12-10T08:00:01', 'power', '一班', '10.0.0.5', 0, 1, '', '', '', '', '', '', '', "
        "'', 'on'), "
        "('2026-12-10T09:00:00', 'command', '一班', '', 60123, 1, '', '', '', 'pc-shutdown', "
        "'admin', 'unreachable', '', '', '')");
  }

  std::string ok(const std::vector<std::string>& arguments) {
    testing::AdminRun run = RunAdmin(store_.path(), arguments);
    EXPECT_EQ(run.code, 0) << run.errors;
    return run.output;
  }

  TempDatabase store_;
};

TEST_F(EventsCommand, ListsOldestFirstInEveryFormat) {
  EXPECT_EQ(ok({"events", "--to", "2026-12-09"}),
            "时间                 类型  班级  地址      次数  详情\n"
            "2026-12-09 07:59:58  刷卡  一班  10.0.0.5  3     card=9-9-9-9 decision=unknown-card\n"
            "2026-12-09 08:00:00  命令  一班  10.0.0.5  1     power-on to=10.0.0.5:20108 "
            "reason=period-start 08:00\n"
            "2026-12-09 08:10:00  编辑  二班  10.0.0.9  1     period week=星期三 row=1: StartH "
            "\"8\" -> \"9\"\n");
  EXPECT_EQ(ok({"events", "--from", "2026-12-10", "--format", "json"}), R"([
  {
    "time": "2026-12-10T08:00:01",
    "kind": "power",
    "class": "一班",
    "address": "10.0.0.5",
    "count": 1,
    "power": "on"
  },
  {
    "time": "2026-12-10T09:00:00",
    "kind": "command",
    "class": "一班",
    "address": "",
    "count": 1,
    "port": 60123,
    "command": "pc-shutdown",
    "reason": "admin",
    "failure": "unreachable"
  }
]
)");
  EXPECT_EQ(ok({"events", "--kind", "edit", "--format", "json"}), R"([
  {
    "time": "2026-12-09T08:10:00",
    "kind": "edit",
    "class": "二班",
    "address": "10.0.0.9",
    "count": 1,
    "row": "period week=星期三 row=1",
    "fields": {
      "StartH": [
        "8",
        "9"
      ]
    },
    "outcome": null
  }
]
)");
  // Into a pipe: UTF-8 with a byte-order mark, which spreadsheets open as such.
  EXPECT_EQ(ok({"events", "--class", "一班", "--kind", "swipe", "--format", "csv"}),
            "\xEF\xBB\xBFtime,kind,class,address,count,card,teacher,decision,command,reason,row,"
            "fields,power,outcome\n"
            "2026-12-09T07:59:58,swipe,一班,10.0.0.5,3,9-9-9-9,,unknown-card,,,,,,\n");
  // 二班 in code page 936, no mark before the header.
  const std::string gbk = ok({"events", "--class", "二班", "--format", "csv", "--encoding", "gbk"});
  EXPECT_EQ(gbk.substr(0, 5), "time,");
  EXPECT_NE(gbk.find(",\xB6\xFE\xB0\xE0,10.0.0.9,"), std::string::npos) << gbk;
}

TEST_F(EventsCommand, RefusesWhatItCannotMean) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"events", "--kind", "door"},
           {"events", "--from", "2026-12-10", "--to", "2026-12-09"},
           {"events", "--format", "csv", "--encoding", "latin1"},
           {"cards"}}) {
    EXPECT_EQ(RunAdmin(store_.path(), arguments).code, 2) << arguments[1];
  }
}

TEST_F(EventsCommand, UnknownCardsAreThoseOfTheLast30DaysThatNoTeacherHas) {
  const LocalTime now = SystemClock().now();
  auto daysAgo = [&](int days) { return Quote(EventTimeText(DaysEarlier(now, days))); };
  store_.addTeacher("1-2-3-4", "张老师");
  store_.exec("Delete from tbl_events");
  store_.exec(
      "Insert into tbl_events (time, kind, class, address, count, card, decision) Values (" +
      daysAgo(40) + ", 'swipe', '一班', '10.0.0.5', 1, '5-5-5-5', 'unknown-card'), (" + daysAgo(3) +
      ", 'swipe', '一班', '10.0.0.5', 4, '7-7-7-7', 'unknown-card'), (" + daysAgo(2) +
      ", 'swipe', '', '10.0.0.99', 1, '7-7-7-7', 'unknown-controller'), (" + daysAgo(1) +
      ", 'swipe', '二班', '10.0.0.6', 1, '1-2-3-4', 'no-period-now'), (" + daysAgo(1) +
      ", 'swipe', '', '', 50, '', 'suppressed')");
  const std::string last = EventTimeText(DaysEarlier(now, 2));
  EXPECT_EQ(ok({"cards", "--unknown", "--format", "json"}), R"([
  {
    "card": "7-7-7-7",
    "class": null,
    "address": "10.0.0.99",
    "last_time": ")" + last + R"(",
    "count": 5
  }
]
)");
}

}  // namespace
}  // namespace brenlow
