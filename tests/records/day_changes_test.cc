#include "records/day_changes.h"

#include <gtest/gtest.h>

#include "records/teacher_records.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::RecordingMessages;
using testing::TempDatabase;

// A substitute is kept by number: the list names the teacher as the teacher list does now, and
// a teacher removed since by the name the change was written with.
TEST(DayChanges, TheListNamesTheSubstituteByItsNumberAsTheTeacherListDoesNow) {
  TempDatabase store;
  RecordingMessages messages;
  store.addClass("一班");
  store.addTeacher("8", "李四");
  Database db = store.store().database();
  ASSERT_TRUE(db.open());
  const CalendarDate date{2099, 1, 7};
  ASSERT_TRUE(AddDayChange(db, DayChange{date, "一班", 1, ChangeKind::kSubstitute, "8", "", ""}));
  const auto teacher = [&] {
    const std::vector<DayChange> changes = ListDayChanges(db, date, date);
    return changes.size() == 1 ? changes[0].teacher : "(" + std::to_string(changes.size()) + ")";
  };
  EXPECT_EQ(teacher(), "李四(8)");
  ASSERT_TRUE(RenameTeacher(db, "8", "李四", "李老师"));
  EXPECT_EQ(teacher(), "李老师(8)");
  ASSERT_TRUE(DeleteTeacher(db, "8"));
  EXPECT_EQ(teacher(), "李四(8)");
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
}  // namespace brenlow
