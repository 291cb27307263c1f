#include "schedule/lesson_courses.h"

#include <algorithm>
#include <vector>

#include "core/weekdays.h"
#include "records/day_plan.h"

namespace brenlow {
namespace {

constexpr const char* kCourseColumns[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::string LessonCourses(Database& db, const CalendarDate& date, const std::string& className,
                          const std::string& teacherNumber) {
  const DayPlan plan = PlanOfTheDay(db, date, className);
  const auto day = std::find(kSchoolWeekdays.begin(), kSchoolWeekdays.end(), plan.reason.weekday);
  if (day == kSchoolWeekdays.end())
    return std::string();
  const char* column = kCourseColumns[day - kSchoolWeekdays.begin()];
  RecordSet rows =
      db.query(FormatStatement("select * from tblkc where BJName='%s' Order by ID", className));
  std::vector<std::string> courses;
  try {
    for (int position = 1; rows.isValid() && !rows.isEof(); ++position, rows.moveNext()) {
      for (const PlannedPeriod& period : plan.periods) {
        if (period.number != position || !period.held ||
            !EndsWith(period.teacher, "(" + teacherNumber + ")")) {
          continue;
        }
        std::string course = rows.fieldText(column);
        const bool blank = course.find_first_not_of(' ') == std::string::npos;
        if (!blank && std::find(courses.begin(), courses.end(), course) == courses.end())
          courses.push_back(std::move(course));
      }
    }
  } catch (const DatabaseError&) {
  }
  std::string joined;
  for (const std::string& course : courses)
    joined += (joined.empty() ? "" : "、") + course;
  return joined;
}

}  // namespace brenlow
