#include "schedule/lesson_use_time.h"

#include <gtest/gtest.h>

#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::TempDatabase;

constexpr const char* kDay = "2026-12-09";

// A held lesson in use, as the plan of the day gives it.
PlannedPeriod Lesson(const std::string& className, int hour, int minute,
                     const std::string& teacher = "张老师(7)") {
  PlannedPeriod period;
  period.className = className;
  period.teacher = teacher;
  period.startHour = hour;
  period.startMinute = minute;
  period.endHour = hour;
  period.endMinute = minute + 45;
  period.scheduled = period.inUse = period.held = true;
  return period;
}

// A powered class and a teacher record.
class LessonUseTimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.exec("Insert into tblbj (Name, Status) Values ('一班', 1)");
    store_.exec(
        "Insert into tblThMes (Numb, Name, NameNumb, UseTime) Values "
        "('7', '张老师', '张老师(7)', '')");
  }

  std::string useTime() { return store_.value("select UseTime from tblThMes where Numb='7'"); }

  std::vector<std::string> dayRows() {
    return store_.column(
        "select teacher_Numb || ' ' || teacher_Name || ' ' || class_Name || ' ' || date_day || "
        "' ' || use_time from tbl_teacher_usetime Order by ID");
  }

  TempDatabase store_;
};

TEST_F(LessonUseTimeTest, CreditsFortyFiveMinutesThreeMinutesAfterTheStartOnly) {
  for (int minute : {600, 602, 604})
    AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), minute, kDay);
  EXPECT_EQ(useTime(), "");
  AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 603, kDay);
  EXPECT_EQ(useTime(), "45");  // an empty total counts as 0
  store_.exec("Update tblThMes set UseTime='90'");
  AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 603, kDay);
  EXPECT_EQ(useTime(), "135");
  EXPECT_EQ(dayRows(), (std::vector<std::string>{"7 张老师 一班 2026-12-09 90"}));
}

TEST_F(LessonUseTimeTest, DayRowsAreKeptPerClassAndDayAndMadeOnlyWithACredit) {
  store_.exec("Insert into tblbj (Name, Status) Values ('二班', 1)");
  AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 603, "2026-12-09");
  AddLessonUseTime(store_.store(), Lesson("二班", 11, 0), 663, "2026-12-09");
  AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 603, "2026-12-16");
  AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 604, "2026-12-17");  // not its minute
  store_.exec("Update tblbj set Status=0 where Name='二班'");
  AddLessonUseTime(store_.store(), Lesson("二班", 11, 0), 663, "2026-12-16");  // not powered
  EXPECT_EQ(dayRows(),
            (std::vector<std::string>{"7 张老师 一班 2026-12-09 45", "7 张老师 二班 2026-12-09 45",
                                      "7 张老师 一班 2026-12-16 45"}));
  EXPECT_EQ(useTime(), "135");
}

TEST_F(LessonUseTimeTest, NothingIsCreditedWithoutPowerLessonOrTeacher) {
  for (const char* status : {"0", "2"}) {
    store_.exec(std::string("Update tblbj set Status=") + status);
    AddLessonUseTime(store_.store(), Lesson("一班", 10, 0), 603, kDay);
  }
  store_.exec("Update tblbj set Status=1");
  AddLessonUseTime(store_.store(), Lesson("二班", 10, 0), 603, kDay);  // no such class
  PlannedPeriod dayOff = Lesson("一班", 10, 0);
  dayOff.held = false;
  AddLessonUseTime(store_.store(), dayOff, 603, kDay);
  PlannedPeriod blank = Lesson("一班", 10, 0);
  blank.inUse = false;
  AddLessonUseTime(store_.store(), blank, 603, kDay);
  AddLessonUseTime(store_.store(), Lesson("一班", 11, 0, "王老师(8)"), 663,
                   kDay);  // a teacher nobody recorded
  AddLessonUseTime(store_.store(), Lesson("一班", 11, 0, ""), 663, kDay);
  EXPECT_EQ(useTime(), "");
  EXPECT_TRUE(dayRows().empty());
}

}  // namespace
}  // namespace brenlow
