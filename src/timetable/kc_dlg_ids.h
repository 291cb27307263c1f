// The numbers of the main window's controls. Each control carries its number as objectName;
// the cells of grid row r (1 to 7, period r) are found by these fixed sums.
#pragma once

namespace brenlow::kc_dlg_ids {

inline constexpr int kClassLabel = 1094;
inline constexpr int kClassList = 1026;
inline constexpr int kClassListButton = 1003;
inline constexpr int kTeachersButton = 1005;
inline constexpr int kImportButton = 2069;

inline constexpr int kPeriodGroup = 1109;
inline constexpr int kAutoOnCaption = 1110;
inline constexpr int kStartCaption = 1111;
inline constexpr int kEndCaption = 1112;
inline constexpr int kAutoOffCaption = 1113;

inline constexpr int kCourseGroup = 1114;
// Column captions "星期一" to "星期五" of the course grid, Monday first.
inline constexpr int kWeekdayCaptions[5] = {1115, 1116, 1095, 1117, 1118};

inline constexpr int kApplyButton = 1031;
inline constexpr int kCloseButton = 2;
inline constexpr int kPasswordButton = 1014;
inline constexpr int kSaveButton = 1030;

inline constexpr int kFirstRow = 1;
inline constexpr int kLastRow = 7;

constexpr int StartHour(int row) {
  return 6000 + row;
}
constexpr int StartMinute(int row) {
  return 6007 + row;
}
constexpr int EndHour(int row) {
  return 6014 + row;
}
constexpr int EndMinute(int row) {
  return 6021 + row;
}
constexpr int AutoOnBox(int row) {
  return 6063 + row;
}
constexpr int AutoOffBox(int row) {
  return 6070 + row;
}
constexpr int TeacherListId(int row) {
  return 5000 + row;
}
// Course cell of row r in weekday column `day` (0 Monday ... 4 Friday).
constexpr int CourseCell(int row, int day) {
  return 6028 + 7 * day + row;
}

inline constexpr int kFirstCourseCell = CourseCell(kFirstRow, 0);  // 6029
inline constexpr int kLastCourseCell = CourseCell(kLastRow, 4);    // 6063

// The weekday column (0 Monday ... 4 Friday) of a course cell.
constexpr int CourseCellDay(int cellId) {
  return (cellId - kFirstCourseCell) / 7;
}

}  // namespace brenlow::kc_dlg_ids
