#include "core/weekdays.h"

namespace brenlow {

const char* WeekdayText(int weekday) {
  static const char* const texts[] = {"星期天", "星期一", "星期二", "星期三",
                                      "星期四", "星期五", "星期六"};
  return weekday >= 0 && weekday < 7 ? texts[weekday] : "";
}

const char* SchoolWeekdayText(int weekday) {
  return weekday >= 1 && weekday <= 5 ? kSchoolWeekdays[weekday - 1] : nullptr;
}

}  // namespace brenlow
