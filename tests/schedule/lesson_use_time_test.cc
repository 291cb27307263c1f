#include "schedule/lesson_use_time.h"

#include <gtest/gtest.h>

#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Quote;
using testing::TempDatabase;

constexpr const char* kDay = "2026-12-09";

// A powered class with one Wednesday period of 张老师 and a teacher record.
class LessonUseTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.exec("Insert into tblbj (Name, Status) Values ('一班', 1)");
    addPeriod("10", "0", "张老师(7)");
    store_.exec(
        "Insert into tblThMes (Numb, Name, NameNumb, UseTime) Values "
        "('7', '张老师', '张老师(7)', '')");
  }

  void addPeriod(const char* startH, const char* startM, const std::string& teacher) {
    store_.exec(
        "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
        "('一班', '星期三', " +
        Quote(startH) + "," + Quote(startM) + ", '10', '45', " + Quote(teacher) + ")");
  }

  std::string useTime(const std::string& nameNumb = "张老师(7)") {
    return store_.value("select UseTime from tblThMes where NameNumb=" + Quote(nameNumb));
  }

  std::vector<std::string> dayRows() {
    return store_.column(
        "select teacher_Numb || ' ' || teacher_Name || ' ' || class_Name || ' ' || date_day || "
        "' ' || use_time from tbl_teacher_usetime Order by ID");
  }

  TempDatabase store_;
};

TEST_F(LessonUseTimeTest, CreditsFortyFiveMinutesThreeMinutesAfterTheStartOnly) {
  AddLessonUseTime("一班", "星期三", 10, 0, 600, kDay);
  AddLessonUseTime("一班", "星期三", 10, 0, 602, kDay);
  AddLessonUseTime("一班", "星期三", 10, 0, 604, kDay);
  EXPECT_EQ(useTime(), "");
  AddLessonUseTime("一班", "星期三", 10, 0, 603, kDay);
  EXPECT_EQ(useTime(), "45");  // an empty total counts as 0
  store_.exec("Update tblThMes set UseTime='90'");
  AddLessonUseTime("一班", "星期三", 10, 0, 603, kDay);
  EXPECT_EQ(useTime(), "135");
  EXPECT_EQ(dayRows(), (std::vector<std::string>{"7 张老师 一班 2026-12-09 90"}));
}

TEST_F(LessonUseTimeTest, DayRowsAreKeptPerClassAndDayAndMadeOnlyWithACredit) {
  store_.exec("Insert into tblbj (Name, Status) Values ('二班', 1)");
  store_.exec(
      "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
      "('二班', '星期三', '11', '0', '11', '45', '张老师(7)')");
  AddLessonUseTime("一班", "星期三", 10, 0, 603, "2026-12-09");
  AddLessonUseTime("二班", "星期三", 11, 0, 663, "2026-12-09");
  AddLessonUseTime("一班", "星期三", 10, 0, 603, "2026-12-16");
  AddLessonUseTime("一班", "星期三", 10, 0, 604, "2026-12-17");  // not its minute
  store_.exec("Update tblbj set Status=0 where Name='二班'");
  AddLessonUseTime("二班", "星期三", 11, 0, 663, "2026-12-16");  // not powered
  EXPECT_EQ(dayRows(),
            (std::vector<std::string>{"7 张老师 一班 2026-12-09 45", "7 张老师 二班 2026-12-09 45",
                                      "7 张老师 一班 2026-12-16 45"}));
  EXPECT_EQ(useTime(), "135");
}

TEST_F(LessonUseTimeTest, NothingIsCreditedWithoutPowerPeriodOrTeacher) {
  for (const char* status : {"0", "2"}) {
    store_.exec(std::string("Update tblbj set Status=") + status);
    AddLessonUseTime("一班", "星期三", 10, 0, 603, kDay);
  }
  store_.exec("Update tblbj set Status=1");
  AddLessonUseTime("二班", "星期三", 10, 0, 603, kDay);  // no such class
  AddLessonUseTime("一班", "星期四", 10, 0, 603, kDay);  // no period that weekday
  // A start stored with leading zeros is not found by its numbers.
  addPeriod("08", "05", "张老师(7)");
  AddLessonUseTime("一班", "星期三", 8, 5, 488, kDay);
  addPeriod("11", "0", "王老师(8)");  // a teacher nobody recorded
  AddLessonUseTime("一班", "星期三", 11, 0, 663, kDay);
  EXPECT_EQ(useTime(), "");
}

TEST_F(LessonUseTimeTest, EachCallCreditsTheTeacherOfTheFirstMatchingPeriod) {
  addPeriod("10", "0", "李老师(9)");
  store_.exec(
      "Insert into tblThMes (Numb, Name, NameNumb, UseTime) Values "
      "('9', '李老师', '李老师(9)', '10')");
  // The scheduler calls once per row: both rows start at 10:00.
  AddLessonUseTime("一班", "星期三", 10, 0, 603, kDay);
  AddLessonUseTime("一班", "星期三", 10, 0, 603, kDay);
  EXPECT_EQ(useTime(), "90");
  EXPECT_EQ(useTime("李老师(9)"), "10");
}

}  // namespace
}  // namespace brenlow
