// Writing the grids back: "应用" into the current weekday's periods, "保存" into the course rows.
#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "timetable/editor_driver.h"
#include "timetable/kc_dlg.h"

namespace brenlow {
namespace {

using testing::EditorDriver;
using testing::Quote;
using testing::RecordingMessages;
using testing::TempDatabase;
using namespace kc_dlg_ids;
using Texts = std::vector<std::string>;

Texts PeriodColumn(const TempDatabase& store, const std::string& column, const std::string& weekday,
                   const std::string& className = "一班") {
  return store.column("select " + column + " from tblkcTime where BJName=" + Quote(className) +
                      " and Week=" + Quote(weekday) + " Order by ID");
}

Texts CourseColumn(const TempDatabase& store, const std::string& column,
                   const std::string& className = "一班") {
  return store.column("select " + column + " from tblkc where BJName=" + Quote(className) +
                      " Order by ID");
}

TEST(KcDlgApply, WithoutAClassBothButtonsAskForOne) {
  TempDatabase store;
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.press(kApplyButton);
  editor.press(kSaveButton);
  EXPECT_EQ(messages.texts(), (Texts{"请选择班级", "请选择班级"}));
}

TEST(KcDlgApply, ApplyWritesThePeriodGridIntoTheCurrentWeekday) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.addTeacher("7", "张三");
  store.addTeacher("8", "Li");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.click(CourseCell(1, 2));  // Wednesday
  editor.type(StartHour(1), "8");
  editor.type(StartMinute(1), "05");
  editor.type(EndHour(1), "8");
  editor.type(EndMinute(1), "50");
  editor.type(StartHour(2), "25");  // times are not checked
  editor.type(StartMinute(2), "75");
  editor.type(EndHour(2), "");  // an emptied edit writes the empty text
  editor.chooseTeacher(1, "张三(7)");
  editor.chooseTeacher(4, "Li(8)");
  editor.click(AutoOnBox(3));
  editor.click(AutoOffBox(7));
  editor.press(kApplyButton);

  EXPECT_EQ(messages.texts(), Texts{"保存成功!"});
  EXPECT_EQ(PeriodColumn(store, "StartH", "星期三"), (Texts{"8", "25", " ", " ", " ", " ", " "}));
  EXPECT_EQ(PeriodColumn(store, "StartM", "星期三"), (Texts{"05", "75", " ", " ", " ", " ", " "}));
  EXPECT_EQ(PeriodColumn(store, "EndH", "星期三"), (Texts{"8", "", " ", " ", " ", " ", " "}));
  EXPECT_EQ(PeriodColumn(store, "EndM", "星期三"), (Texts{"50", " ", " ", " ", " ", " ", " "}));
  EXPECT_EQ(PeriodColumn(store, "ThName", "星期三"),
            (Texts{"张三(7)", "", "", "Li(8)", "", "", ""}));
  EXPECT_EQ(PeriodColumn(store, "AutoOn", "星期三"), (Texts{"0", "0", "1", "0", "0", "0", "0"}));
  EXPECT_EQ(PeriodColumn(store, "AutoOff", "星期三"), (Texts{"0", "0", "0", "0", "0", "0", "1"}));
  // Other weekdays, the other class and the course rows stay as they were.
  EXPECT_EQ(store.value("select count(*) from tblkcTime where StartH<>' '"), "2");
  EXPECT_EQ(store.value("select count(*) from tblkc"), "0");
}

TEST(KcDlgApply, ATeacherTypedButNotChosenWritesTheEmptyText) {
  TempDatabase store;
  store.addClass("一班");
  store.addTeacher("1", "Anna");
  store.exec("Update tblkcTime set ThName='Anna(1)'");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  ASSERT_EQ(editor.teachers(2)->currentText(), "Anna(1)");
  editor.click(TeacherListId(1));
  QTest::keyClick(editor.teachers(1)->lineEdit(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(editor.teachers(1)->lineEdit(), "Bob");  // no such teacher
  editor.click(TeacherListId(2));
  QTest::keyClick(editor.teachers(2)->lineEdit(), Qt::Key_End);
  QTest::keyClick(editor.teachers(2)->lineEdit(), Qt::Key_Backspace);  // "Anna(1" is no entry
  ASSERT_EQ(editor.teachers(2)->currentText(), "Anna(1");
  editor.chooseTeacher(3, "Anna(1)");
  editor.press(kApplyButton);
  EXPECT_EQ(messages.texts(), Texts{"保存成功!"});
  EXPECT_EQ(PeriodColumn(store, "ThName", "星期一"),
            (Texts{"", "", "Anna(1)", "Anna(1)", "Anna(1)", "Anna(1)", "Anna(1)"}));
  // The rows show what was written.
  EXPECT_EQ(editor.teachers(1)->currentText(), "");
  EXPECT_EQ(editor.teachers(2)->currentText(), "");
}

TEST(KcDlgApply, AWeekdayWithoutPeriodsWritesNothingAndSaysNothing) {
  TempDatabase store;
  store.addClass("一班");
  store.exec("Delete from tblkcTime where Week='星期二'");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.click(CourseCell(4, 1));
  editor.type(StartHour(1), "8");
  editor.press(kApplyButton);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(store.value("select count(*) from tblkcTime where StartH<>' '"), "0");
}

TEST(KcDlgApply, FourPeriodsAreWrittenThenApplyEndsWithoutSuccess) {
  TempDatabase store;
  store.addClass("一班");
  store.exec("Delete from tblkcTime where Week='星期一' and ID>4");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    editor.type(StartHour(row), QString::number(row));
  }
  editor.press(kApplyButton);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(PeriodColumn(store, "StartH", "星期一"), (Texts{"1", "2", "3", "4"}));
}

TEST(KcDlgApply, AFailingStatementStopsAtItsRowAfterShowingTheStoresText) {
  TempDatabase store;
  store.addClass("一班");
  store.exec(
      "CREATE TRIGGER refuse BEFORE UPDATE ON tblkcTime WHEN old.ID=3 "
      "BEGIN SELECT RAISE(ABORT, 'period 3 is locked'); END");
  store.exec(
      "CREATE TRIGGER refuseCourse BEFORE INSERT ON tblkc WHEN new.Monday='x3' "
      "BEGIN SELECT RAISE(ABORT, 'course 3 is locked'); END");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  // Course cells first: entering one reloads the period grid.
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    editor.type(CourseCell(row, 0), "x" + QString::number(row));
  }
  for (int row = kFirstRow; row <= kLastRow; ++row)
    editor.type(StartHour(row), "8");
  editor.press(kApplyButton);
  editor.press(kSaveButton);
  EXPECT_EQ(messages.texts(), (Texts{"period 3 is locked", "course 3 is locked"}));
  EXPECT_EQ(PeriodColumn(store, "StartH", "星期一"), (Texts{"8", "8", " ", " ", " ", " ", " "}));
  EXPECT_EQ(CourseColumn(store, "Monday"), (Texts{"x1", "x2"}));
}

TEST(KcDlgApply, AFailedQueryIsReportedByApplyOnly) {
  TempDatabase store;
  store.addClass("一班");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  store.exec("Drop table tblkcTime; Drop table tblkc");
  editor.press(kApplyButton);
  editor.press(kSaveButton);
  EXPECT_EQ(messages.texts(), Texts{"保存失败!"});
}

TEST(KcDlgApply, PowerValuesOtherThanZeroAndOneSurviveAnApplyUntilClicked) {
  TempDatabase store;
  store.addClass("一班");
  store.exec("Update tblkcTime set AutoOn=2, AutoOff=-3 where ID in (1, 2)");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.press(kApplyButton);
  EXPECT_EQ(PeriodColumn(store, "AutoOn", "星期一"), (Texts{"2", "2", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(PeriodColumn(store, "AutoOff", "星期一"), (Texts{"-3", "-3", "0", "0", "0", "0", "0"}));

  editor.click(AutoOnBox(1));  // partly checked -> checked
  editor.click(AutoOffBox(2));
  editor.click(AutoOffBox(2));  // -> checked -> unchecked
  editor.press(kApplyButton);
  EXPECT_EQ(PeriodColumn(store, "AutoOn", "星期一"), (Texts{"1", "2", "0", "0", "0", "0", "0"}));
  EXPECT_EQ(PeriodColumn(store, "AutoOff", "星期一"), (Texts{"-3", "0", "0", "0", "0", "0", "0"}));
}

TEST(KcDlgApply, FirstSaveInsertsSevenRowsAndTheSecondUpdatesThem) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.exec("Insert into tblkc (BJName, Monday) Values ('二班', '不动')");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.type(CourseCell(1, 0), "语文");
  editor.type(CourseCell(7, 4), "体育");
  editor.type(StartHour(1), "8");  // "保存" leaves the periods alone
  editor.press(kSaveButton);
  EXPECT_EQ(messages.texts(), Texts{"保存成功"});
  Texts ids = CourseColumn(store, "ID");
  ASSERT_EQ(ids.size(), 7u);
  EXPECT_EQ(CourseColumn(store, "Monday"), (Texts{"语文", "", "", "", "", "", ""}));
  EXPECT_EQ(CourseColumn(store, "Friday"), (Texts{"", "", "", "", "", "", "体育"}));
  EXPECT_EQ(store.value("select count(*) from tblkcTime where StartH<>' '"), "0");

  editor.type(CourseCell(1, 0), "数学");
  editor.type(CourseCell(3, 2), "英语");
  editor.press(kSaveButton);
  EXPECT_EQ(messages.texts(), (Texts{"保存成功", "保存成功"}));
  EXPECT_EQ(CourseColumn(store, "ID"), ids);
  EXPECT_EQ(CourseColumn(store, "Monday"), (Texts{"数学", "", "", "", "", "", ""}));
  EXPECT_EQ(CourseColumn(store, "Wednesday"), (Texts{"", "", "英语", "", "", "", ""}));
  EXPECT_EQ(CourseColumn(store, "Monday", "二班"), Texts{"不动"});
}

TEST(KcDlgApply, SaveWithFewerThanSevenCourseRowsWritesThoseAndEndsQuietly) {
  TempDatabase store;
  store.addClass("一班");
  for (int row = 0; row < 3; ++row) {
    store.exec("Insert into tblkc (BJName, Monday) Values ('一班', 'old')");
  }
  RecordingMessages messages;
  EditorDriver editor(store.store());
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    editor.type(CourseCell(row, 0), "new" + QString::number(row));
  }
  editor.press(kSaveButton);
  EXPECT_TRUE(messages.texts().empty());
  EXPECT_EQ(CourseColumn(store, "Monday"), (Texts{"new1", "new2", "new3"}));
}

TEST(KcDlgApply, QuotesInTextsAreStoredIntact) {
  TempDatabase store;
  store.addClass("O'Brien's 班");
  store.addTeacher("1", "D'Arcy");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.type(CourseCell(2, 1), "Bob's \"art\"");
  editor.type(CourseCell(3, 3), "'");  // Thursday's periods are shown now
  editor.press(kSaveButton);
  editor.chooseTeacher(1, "D'Arcy(1)");
  editor.press(kApplyButton);
  EXPECT_EQ(messages.texts(), (Texts{"保存成功", "保存成功!"}));
  EXPECT_EQ(CourseColumn(store, "Tuesday", "O'Brien's 班"),
            (Texts{"", "Bob's \"art\"", "", "", "", "", ""}));
  EXPECT_EQ(CourseColumn(store, "Thursday", "O'Brien's 班"), (Texts{"", "", "'", "", "", "", ""}));
  EXPECT_EQ(PeriodColumn(store, "ThName", "星期四", "O'Brien's 班")[0], "D'Arcy(1)");

  // And they load back.
  editor.chooseClass("O'Brien's 班");
  EXPECT_EQ(editor.text(CourseCell(2, 1)), "Bob's \"art\"");
  EXPECT_EQ(editor.teachers(1)->currentText(), "D'Arcy(1)");
}

}  // namespace
}  // namespace brenlow
