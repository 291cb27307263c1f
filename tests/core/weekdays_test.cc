#include "core/weekdays.h"

#include <gtest/gtest.h>

#include <string>

namespace brenlow {
namespace {

TEST(Weekdays, EveryDayHasItsTextAndOnlyMondayToFridayAreSchoolDays) {
  const char* const texts[] = {"星期天", "星期一", "星期二", "星期三",
                               "星期四", "星期五", "星期六"};
  for (int weekday = 0; weekday < 7; ++weekday) {
    EXPECT_EQ(std::string(WeekdayText(weekday)), texts[weekday]) << weekday;
    const char* school = SchoolWeekdayText(weekday);
    if (weekday == 0 || weekday == 6) {
      EXPECT_EQ(school, nullptr) << weekday;
    } else {
      ASSERT_NE(school, nullptr) << weekday;
      EXPECT_EQ(std::string(school), kSchoolWeekdays[weekday - 1]) << weekday;
    }
  }
}

}  // namespace
}  // namespace brenlow
