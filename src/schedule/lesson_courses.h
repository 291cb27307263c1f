// The course names of a teacher's lessons in a class on a date, for reports: the periods of
// that date's plan (records/day_plan.h) whose teacher is the teacher, each named by the class's
// course row of the same position (tblkc, the applying weekday's column). Any thread.
#pragma once

#include <string>

#include "core/calendar_date.h"
#include "data/database.h"

namespace brenlow {

// The course names joined by "、" in period order, each once; empty when none is known.
// teacherNumber is the teacher's Numb (the number in "name(number)").
std::string LessonCourses(Database& db, const CalendarDate& date, const std::string& className,
                          const std::string& teacherNumber);

}  // namespace brenlow
