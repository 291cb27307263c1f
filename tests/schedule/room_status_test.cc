#include "schedule/room_status.h"

#include <gtest/gtest.h>

#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Quote;
using testing::TempDatabase;

// Wednesday 2024-03-06 and Saturday 2024-03-09.
constexpr int kWednesday = 6;
constexpr int kSaturday = 9;

class RoomStatusTest : public ::testing::Test {
 protected:
  // Sets the n-th (0-6) Wednesday period of a class.
  void setPeriod(const std::string& className, int n, const char* startH, const char* startM,
                 const char* endH, const char* endM, int autoOn, int autoOff,
                 const char* teacher = " ") {
    store_.exec("Update tblkcTime set StartH=" + Quote(startH) + ", StartM=" + Quote(startM) +
                ", EndH=" + Quote(endH) + ", EndM=" + Quote(endM) +
                ", AutoOn=" + std::to_string(autoOn) + ", AutoOff=" + std::to_string(autoOff) +
                ", ThName=" + Quote(teacher) +
                " where ID=(select ID from tblkcTime where BJName=" + Quote(className) +
                " and Week='星期三' Order by ID limit 1 offset " + std::to_string(n) + ")");
  }

  // One line per class: name | state | current period | next action.
  std::vector<std::string> linesAt(int day, int hour, int minute) {
    std::vector<std::string> lines;
    auto rooms =
        ReadRoomStatus(store_.store(), MomentOf(MakeLocalTime(2024, 3, day, hour, minute)));
    if (!rooms)
      return {"<failed>"};
    for (const RoomStatus& room : *rooms) {
      lines.push_back(room.name + "|" + PowerStateText(room.power) + "|" + CurrentPeriodText(room) +
                      "|" + NextActionText(room));
    }
    return lines;
  }

  TempDatabase store_;
};

// The server resets Status to 0 at its start: 0 means off only once the room reported after it.
TEST_F(RoomStatusTest, ARoomNotHeardFromSinceTheStartIsUnknown) {
  store_.addClass("一班");
  store_.addClass("二班");
  store_.addClass("三班");
  store_.exec(
      "Insert into tbl_server_state (name, value) Values ('started', "
      "'2026-12-11T07:00:00')");
  store_.exec(
      "Insert into tbl_last_report (class, time) Values ('二班', '2026-12-11T07:00:05'), "
      "('三班', '2026-12-10T16:00:00')");
  EXPECT_EQ(linesAt(kSaturday, 8, 0),
            (std::vector<std::string>{"一班|未知|无课|", "二班|已关机|无课|", "三班|未知|无课|"}));
}

TEST_F(RoomStatusTest, RowsAtChosenMinutes) {
  store_.addClass("一班", "10.0.0.1");
  store_.addClass("二班", "10.0.0.2");
  store_.addClass("三班", "10.0.0.3");  // no periods in use
  store_.exec("Update tblbj set Status=1 where Name='一班'");
  store_.exec("Update tblbj set Status=2 where Name='三班'");
  for (const char* name : {"一班", "二班", "三班"})
    store_.heardFrom(name);
  setPeriod("一班", 0, "8", "0", "8", "45", 1, 0, "张三(12)");
  setPeriod("一班", 2, "10", "00", "10", "45", 0, 1);
  // 二班: one period ends as the next starts; the one the scheduler runs last wins the minute.
  setPeriod("二班", 0, "9", "0", "9", "45", 0, 1, "李四(13)");
  setPeriod("二班", 1, "9", "45", "10", "30", 1, 1);

  struct Case {
    const char* what;
    int day, hour, minute;
    std::vector<std::string> lines;
  } cases[] = {
      {"before school",
       kWednesday,
       7,
       0,
       {"一班|已开机|无课|08:00 开机", "二班|已关机|无课|09:45 开机", "三班|未知|无课|"}},
      {"a period running, its start minute",
       kWednesday,
       8,
       0,
       // The minute now is still to come: its tick may not have run yet.
       {"一班|已开机|第1节 08:00-08:45 张三(12)|08:00 开机", "二班|已关机|无课|09:45 开机",
        "三班|未知|无课|"}},
      {"a period ending this minute",
       kWednesday,
       9,
       45,
       {"一班|已开机|无课|10:45 关机", "二班|已关机|第2节 09:45-10:30|09:45 开机",
        "三班|未知|无课|"}},
      {"the last minute of a period",
       kWednesday,
       10,
       44,
       {"一班|已开机|第3节 10:00-10:45|10:45 关机", "二班|已关机|无课|", "三班|未知|无课|"}},
      {"after school",
       kWednesday,
       16,
       0,
       {"一班|已开机|无课|", "二班|已关机|无课|", "三班|未知|无课|"}},
      {"weekend", kSaturday, 8, 0, {"一班|已开机|无课|", "二班|已关机|无课|", "三班|未知|无课|"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(linesAt(c.day, c.hour, c.minute), c.lines) << c.what;
}

TEST_F(RoomStatusTest, PeriodsAreNumberedInIdOrderAndCarryTheirFlags) {
  store_.addClass("一班");
  setPeriod("一班", 3, "11", "0", "11", "45", 1, 1, "张三(12)");
  auto rooms = ReadRoomStatus(store_.store(), MomentOf(MakeLocalTime(2024, 3, kWednesday, 11, 10)));
  ASSERT_TRUE(rooms);
  ASSERT_EQ(rooms->size(), 1u);
  const RoomStatus& room = rooms->front();
  ASSERT_EQ(room.periods.size(), 7u);
  EXPECT_FALSE(room.periods[0].start);  // blanks: not in use
  const PeriodStatus& fourth = room.periods[3];
  EXPECT_EQ(fourth.number, 4);
  EXPECT_EQ(*fourth.start, 660);
  EXPECT_EQ(*fourth.end, 705);
  EXPECT_TRUE(fourth.autoOn && fourth.autoOff && fourth.running);
  EXPECT_EQ(room.running, 3u);
  EXPECT_EQ(CurrentPeriodText(room), "第4节 11:00-11:45 张三(12)");
}

TEST_F(RoomStatusTest, OnADayOffNothingRunsAndOnlyPowerOffsAreNext) {
  store_.addClass("一班");
  store_.addClass("二班");
  store_.heardFrom("一班");
  store_.heardFrom("二班");
  setPeriod("一班", 0, "8", "0", "8", "45", 1, 1, "张三(12)");
  setPeriod("二班", 0, "8", "0", "8", "45", 1, 1, "李四(13)");
  store_.exec(
      "Insert into tbl_calendar (date_day, kind, weekday, class_Name, note) Values "
      "('2024-03-06', 'off', '', '一班', '春游'), ('2024-03-09', 'follows', '星期三', '', '')");
  EXPECT_EQ(linesAt(kWednesday, 7, 0), (std::vector<std::string>{"一班|已关机|无课|08:45 关机",
                                                                 "二班|已关机|无课|08:00 开机"}));
  EXPECT_EQ(linesAt(kWednesday, 8, 10),
            (std::vector<std::string>{"一班|已关机|无课|08:45 关机",
                                      "二班|已关机|第1节 08:00-08:45 李四(13)|08:45 关机"}));
  EXPECT_EQ(linesAt(kSaturday, 8, 10),
            (std::vector<std::string>{"一班|已关机|第1节 08:00-08:45 张三(12)|08:45 关机",
                                      "二班|已关机|第1节 08:00-08:45 李四(13)|08:45 关机"}));
  auto rooms = ReadRoomStatus(store_.store(), MomentOf(MakeLocalTime(2024, 3, kWednesday, 8, 10)));
  ASSERT_TRUE(rooms);
  EXPECT_EQ(DayReasonText((*rooms)[0].day), "放假：春游");
  EXPECT_EQ(DayReasonText((*rooms)[1].day), "上课");
}

TEST_F(RoomStatusTest, AStoreThatCannotBeReadGivesNoRows) {
  store_.exec("Drop table tblkcTime");
  EXPECT_EQ(linesAt(kWednesday, 8, 0), std::vector<std::string>{"<failed>"});
}

}  // namespace
}  // namespace brenlow
