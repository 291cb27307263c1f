// Weekday texts and the shape of a school day, as the store and the wire carry them.
#pragma once

#include <array>

namespace brenlow {

// The values of tblkcTime.Week, Monday first; a class's periods form five blocks of seven in
// this order.
inline constexpr std::array<const char*, 5> kSchoolWeekdays = {"星期一", "星期二", "星期三",
                                                               "星期四", "星期五"};

// Periods of one class on one weekday, and course rows of one class.
inline constexpr int kPeriodsPerDay = 7;

// The weekday text of a day of the week (0 Sunday ... 6 Saturday): "星期天", "星期一" ...
// "星期六". Saturday and Sunday have texts but no periods.
const char* WeekdayText(int weekday);

// The school weekday text of a day of the week, or nullptr on Saturday and Sunday.
const char* SchoolWeekdayText(int weekday);

}  // namespace brenlow
