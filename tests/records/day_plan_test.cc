#include "records/day_plan.h"

#include <gtest/gtest.h>

#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Quote;
using testing::TempDatabase;

// Two classes with their 35 blank periods, a few of them filled in, and a calendar of March
// 2024 (the 6th, 13th and 20th are Wednesdays; the 9th and 16th Saturdays).
class DayPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    store_.addClass("二班");
    setPeriod("一班", "星期三", 0, "8", "0", "8", "45", "张三(1)");
    setPeriod("一班", "星期三", 1, "09", "05", "9", "50", "李四(2)");  // as a hand-written file
    setPeriod("一班", "星期三", 2, "10", "", "10", "45", "李四(2)");   // a row nobody filled in
    setPeriod("一班", "星期五", 0, "14", "0", "14", "45", "王五(3)");
    setPeriod("二班", "星期三", 0, "8", "0", "8", "45", "赵六(4)");
    addEntry("2024-03-09", "follows", "星期三", "", "补课");
    addEntry("2024-03-11", "follows", "星期五", "", "");
    addEntry("2024-03-13", "off", "", "", "考试");
    addEntry("2024-03-20", "off", "", "一班", "春游");
    addEntry("2024-03-16", "follows", "星期三", "", "");
    addEntry("2024-03-16", "off", "", "一班", "运动会");
    addEntry("2024-03-23", "follows", "星期六", "", "");  // written by hand: no school day
  }

  void setPeriod(const char* className, const char* week, int n, const char* startH,
                 const char* startM, const char* endH, const char* endM, const char* teacher) {
    store_.exec("Update tblkcTime set StartH=" + Quote(startH) + ", StartM=" + Quote(startM) +
                ", EndH=" + Quote(endH) + ", EndM=" + Quote(endM) + ", ThName=" + Quote(teacher) +
                " where ID=(select ID from tblkcTime where BJName=" + Quote(className) +
                " and Week=" + Quote(week) + " Order by ID limit 1 offset " + std::to_string(n) +
                ")");
  }

  void addEntry(const char* date, const char* kind, const char* weekday, const char* className,
                const char* note) {
    store_.exec(std::string("Insert into tbl_calendar (date_day, kind, weekday, class_Name, note) "
                            "Values (") +
                Quote(date) + "," + Quote(kind) + "," + Quote(weekday) + "," + Quote(className) +
                "," + Quote(note) + ")");
  }

  // "text | number of periods | each period in use: number start-end teacher, * when held".
  std::string describe(int day, const std::string& className) {
    Database db = store_.store().database();
    const DayPlan plan = PlanOfTheDay(db, CalendarDate{2024, 3, day}, className);
    std::string text = std::string(DayKindKey(plan.reason.kind)) + " " + plan.reason.weekday + " " +
                       DayReasonText(plan.reason) + " | " + std::to_string(plan.periods.size());
    for (const PlannedPeriod& period : plan.periods) {
      if (period.inUse) {
        text += " | " + std::to_string(period.number) + " " +
                std::to_string(period.startMinutes()) + "-" + std::to_string(period.endMinutes()) +
                " " + period.teacher + (period.held ? "*" : "");
      }
    }
    return text;
  }

  TempDatabase store_;
};

TEST_F(DayPlanTest, TheCalendarDecidesWhichPeriodsApplyAndWhetherTheyAreHeld) {
  const std::string wednesday = " | 7 | 1 480-525 张三(1)* | 2 545-590 李四(2)*";
  const std::string wednesdayOff = " | 7 | 1 480-525 张三(1) | 2 545-590 李四(2)";
  struct Case {
    int day;
    const char* className;
    std::string plan;
  } cases[] = {
      {6, "一班", "school 星期三 上课" + wednesday},
      {7, "一班", "school 星期四 上课 | 7"},
      {10, "一班", "weekend  周末 | 0"},
      {9, "一班", "follows 星期三 调休：按星期三" + wednesday},
      {11, "一班", "follows 星期五 调休：按星期五 | 7 | 1 840-885 王五(3)*"},
      {13, "一班", "off 星期三 放假：考试" + wednesdayOff},
      {13, "二班", "off 星期三 放假：考试 | 7 | 1 480-525 赵六(4)"},
      {20, "一班", "off 星期三 放假：春游" + wednesdayOff},
      {20, "二班", "school 星期三 上课 | 7 | 1 480-525 赵六(4)*"},
      {16, "一班", "off 星期三 放假：运动会" + wednesdayOff},
      {16, "二班", "follows 星期三 调休：按星期三 | 7 | 1 480-525 赵六(4)*"},
      {23, "一班", "weekend  周末 | 0"},
      {6, "三班", "school 星期三 上课 | 0"},  // no such class: no periods
  };
  for (const Case& c : cases)
    EXPECT_EQ(describe(c.day, c.className), c.plan) << c.day << " " << c.className;
}

// On Wednesday the 6th 一班's second period has a substitute and 二班's first is cancelled; the
// make-up Saturday the 9th counts its periods in Wednesday's, and the 13th is a day off.
TEST_F(DayPlanTest, OneDayChangesRuleTheirPeriodOnTheirDateOnly) {
  store_.addTeacher("8", "赵老师");
  const auto addChange = [&](const char* date, const char* className, int period, const char* kind,
                             const char* number) {
    store_.exec(std::string("Insert into tbl_day_change (date_day, class_Name, period, kind, "
                            "teacher_Numb) Values (") +
                Quote(date) + "," + Quote(className) + "," + std::to_string(period) + "," +
                Quote(kind) + "," + Quote(number) + ")");
  };
  addChange("2024-03-06", "一班", 2, "substitute", "8");
  addChange("2024-03-06", "二班", 1, "cancelled", "");
  addChange("2024-03-09", "一班", 1, "cancelled", "");
  addChange("2024-03-13", "一班", 1, "substitute", "8");
  addChange("2024-03-06", "一班", 9, "cancelled", "");  // written by hand: no such period
  struct Case {
    int day;
    const char* className;
    std::string plan;
  } cases[] = {
      {6, "一班", "school 星期三 上课 | 7 | 1 480-525 张三(1)* | 2 545-590 赵老师(8)*"},
      {6, "二班", "school 星期三 上课 | 7 | 1 480-525 赵六(4)"},
      {9, "一班", "follows 星期三 调休：按星期三 | 7 | 1 480-525 张三(1) | 2 545-590 李四(2)*"},
      {13, "一班", "off 星期三 放假：考试 | 7 | 1 480-525 赵老师(8) | 2 545-590 李四(2)"},
      {20, "二班", "school 星期三 上课 | 7 | 1 480-525 赵六(4)*"},  // a week later: as before
  };
  for (const Case& c : cases)
    EXPECT_EQ(describe(c.day, c.className), c.plan) << c.day << " " << c.className;

  Database db = store_.store().database();
  const DayPlan plan = PlanOfTheDay(db, CalendarDate{2024, 3, 6}, "一班");
  EXPECT_EQ(plan.periods[1].timetabledTeacher, "李四(2)");
  EXPECT_EQ(plan.periods[1].change, ChangeKind::kSubstitute);
  EXPECT_FALSE(plan.periods[0].change);
}

TEST_F(DayPlanTest, PeriodTimesAndTheMinutesAPeriodRuns) {
  Database db = store_.store().database();
  const DayPlan plan = PlanOfTheDay(db, CalendarDate{2024, 3, 6}, "一班");
  ASSERT_EQ(plan.periods.size(), 7u);
  const PlannedPeriod& first = plan.periods[0];
  const PlannedPeriod& unfilled = plan.periods[2];
  const PlannedPeriod& blank = plan.periods[3];
  EXPECT_TRUE(first.scheduled && first.inUse);
  EXPECT_FALSE(unfilled.scheduled || unfilled.inUse);
  // A period not in use holds blanks: the scheduler still acts on it (at 0:00), nothing else.
  EXPECT_TRUE(blank.scheduled);
  EXPECT_FALSE(blank.inUse);
  struct Case {
    const PlannedPeriod& period;
    int minute;
    bool runs;
  } cases[] = {
      {first, 479, false}, {first, 480, true},
      {first, 524, true},  {first, 525, false},  // ending this minute
      {blank, 0, false},   {unfilled, 600, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.period.runsAt(c.minute), c.runs) << c.period.number << " at " << c.minute;
}

TEST_F(DayPlanTest, TheSchoolsPlanHoldsEveryClassInIdOrderWithItsOwnDay) {
  Database db = store_.store().database();
  const SchoolDayPlan plan = PlanOfTheSchoolDay(db, CalendarDate{2024, 3, 20});
  EXPECT_EQ(plan.school.kind, DayKind::kSchool);
  EXPECT_EQ(plan.reasonFor("一班").kind, DayKind::kOff);
  EXPECT_EQ(plan.reasonFor("二班").kind, DayKind::kSchool);
  ASSERT_EQ(plan.periods.size(), 14u);
  EXPECT_EQ(plan.periods[0].className, "一班");
  EXPECT_FALSE(plan.periods[0].held);
  EXPECT_EQ(plan.periods[7].className, "二班");
  EXPECT_EQ(plan.periods[7].number, 1);
  EXPECT_TRUE(plan.periods[7].held);
  EXPECT_EQ(plan.periods[7].rowId,
            store_.value("select ID from tblkcTime where BJName='二班' and Week='星期三' Order by "
                         "ID limit 1"));
}

TEST_F(DayPlanTest, AFileWithoutTheCalendarTableReadsAsOneWithoutEntries) {
  EXPECT_EQ(describe(13, "二班"), "off 星期三 放假：考试 | 7 | 1 480-525 赵六(4)");
  // As an older file opened read-only: the table was never added.
  store_.exec("Drop table tbl_calendar");
  EXPECT_EQ(describe(13, "二班"), "school 星期三 上课 | 7 | 1 480-525 赵六(4)*");
  EXPECT_EQ(describe(9, "二班"), "weekend  周末 | 0");
}

}  // namespace
}  // namespace brenlow
