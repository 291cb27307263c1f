// Loading the editor: what the class list, the teacher lists and both grids show for the rows
// of the store, and what the user's choices (a class, a course cell) reload.
#include <gtest/gtest.h>

#include "core/weekdays.h"
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

// Sets the time texts of the class's periods of one weekday to "<hour>" = base + period.
void NumberPeriods(const TempDatabase& store, const std::string& className,
                   const std::string& weekday, int base) {
  std::vector<std::string> ids =
      store.column("select ID from tblkcTime where BJName=" + Quote(className) +
                   " and Week=" + Quote(weekday) + " Order by ID");
  for (size_t i = 0; i < ids.size(); ++i) {
    std::string hour = std::to_string(base + static_cast<int>(i) + 1);
    store.exec("Update tblkcTime set StartH='" + hour + "', StartM='0', EndH='" + hour +
               "', EndM='45' where ID=" + ids[i]);
  }
}

TEST(KcDlgLoad, StartUpShowsTheFirstClassOnMondayWithTheFocusOnTheClassList) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("");  // an empty name is listed like any other
  store.addClass("三班");
  store.addTeacher("9", "Zed");
  store.addTeacher("1", "");
  store.exec("Update tblThMes set NameNumb='' where Numb='1'");
  store.addTeacher("2", "amy");
  NumberPeriods(store, "一班", "星期一", 7);
  store.exec("Insert into tblkc (BJName, Monday, Friday) Values ('一班', '语文', '体育')");

  EditorDriver editor(store.store());
  QComboBox* classes = editor.classes();
  ASSERT_EQ(classes->count(), 3);
  EXPECT_EQ(classes->itemText(0).toStdString(), "一班");  // insertion order, not sorted
  EXPECT_EQ(classes->itemText(1).toStdString(), "");
  EXPECT_EQ(classes->itemText(2).toStdString(), "三班");
  EXPECT_EQ(classes->currentIndex(), 0);
  EXPECT_EQ(QApplication::focusWidget(), classes);
  EXPECT_EQ(editor.weekday(), "星期一");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  EXPECT_EQ(editor.text(CourseCell(1, 4)), "体育");
  EXPECT_EQ(editor.text(StartHour(1)), "8");
  EXPECT_EQ(editor.text(EndMinute(7)), "45");
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    QComboBox* teachers = editor.teachers(row);
    ASSERT_EQ(teachers->count(), 2) << "empty NameNumb is left out";
    EXPECT_EQ(teachers->itemText(0).toStdString(), "amy(2)");  // sorted, not in ID order
    EXPECT_EQ(teachers->itemText(1).toStdString(), "Zed(9)");
    EXPECT_EQ(teachers->currentIndex(), -1) << "a blank ThName chooses nobody";
  }
}

TEST(KcDlgLoad, WithoutClassesEverythingStaysEmpty) {
  TempDatabase store;
  RecordingMessages messages;
  EditorDriver editor(store.store());
  EXPECT_EQ(editor.classes()->count(), 0);
  EXPECT_EQ(editor.classes()->currentIndex(), -1);
  editor.click(CourseCell(2, 3));
  EXPECT_EQ(editor.weekday(), "星期四");
  EXPECT_EQ(QApplication::focusWidget(), editor.classes()) << "no class: focus goes back";
  EXPECT_TRUE(messages.texts().empty());
}

TEST(KcDlgLoad, AnUnreadableNameEndsTheListsAfterTheNamesBeforeIt) {
  TempDatabase store;
  store.addClass("一班");
  store.exec("Insert into tblbj (Name) Values (NULL), ('三班')");
  store.addTeacher("1", "张三");
  store.exec("Insert into tblThMes (Numb, NameNumb) Values ('2', NULL)");
  store.addTeacher("3", "李四");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  ASSERT_EQ(editor.classes()->count(), 1);
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "一班");
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    ASSERT_EQ(editor.teachers(row)->count(), 1);
    EXPECT_EQ(editor.teachers(row)->itemText(0).toStdString(), "张三(1)");
  }
  EXPECT_TRUE(messages.texts().empty());
}

TEST(KcDlgLoad, CourseGridShowsUpToSevenCourseRowsAndClearsTheRest) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  for (int row = 1; row <= 8; ++row) {
    store.exec("Insert into tblkc (BJName, Monday, Wednesday) Values ('一班', 'm" +
               std::to_string(row) + "', 'w" + std::to_string(row) + "')");
  }
  for (int row = 1; row <= 3; ++row) {
    store.exec("Insert into tblkc (BJName, Tuesday) Values ('二班', 't" + std::to_string(row) +
               "')");
  }
  store.addClass("三班");  // no course rows

  EditorDriver editor(store.store());
  EXPECT_EQ(editor.text(CourseCell(7, 0)), "m7");
  EXPECT_EQ(editor.text(CourseCell(7, 2)), "w7");

  editor.chooseClass("二班");
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    EXPECT_EQ(editor.text(CourseCell(row, 1)), row <= 3 ? "t" + std::to_string(row) : "");
    EXPECT_EQ(editor.text(CourseCell(row, 0)), "");
    EXPECT_EQ(editor.text(CourseCell(row, 2)), "");
  }

  editor.chooseClass("三班");
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int day = 0; day < 5; ++day)
      EXPECT_EQ(editor.text(CourseCell(row, day)), "");
  }
}

TEST(KcDlgLoad, NinePeriodsShowTheFirstSevenAndFourLeaveTheLastRowsAsTheyWere) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.addTeacher("1", "张三");
  store.exec("Update tblkcTime set ThName='张三(1)', AutoOn=1 where BJName='一班'");
  for (int extra = 0; extra < 2; ++extra) {
    store.exec("Insert into tblkcTime (BJName, Week) Values ('一班', '星期一')");
  }
  NumberPeriods(store, "一班", "星期一", 0);  // rows 8 and 9 hold 8 and 9
  store.exec(
      "Delete from tblkcTime where BJName='二班' and Week='星期一' and ID not in "
      "(select ID from tblkcTime where BJName='二班' and Week='星期一' Order by ID "
      "limit 4)");
  NumberPeriods(store, "二班", "星期一", 20);

  EditorDriver editor(store.store());
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    EXPECT_EQ(editor.text(StartHour(row)), std::to_string(row));
  }

  // A class change keeps the teachers of rows 5 to 7 and unchecks their boxes.
  editor.chooseClass("二班");
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    std::string expected = std::to_string(row <= 4 ? 20 + row : row);
    EXPECT_EQ(editor.text(StartHour(row)), expected) << row;
    EXPECT_FALSE(editor.box(AutoOnBox(row))->isChecked()) << row;
    EXPECT_EQ(editor.teachers(row)->currentText().toStdString(), row <= 4 ? "" : "张三(1)");
  }

  // A weekday switch back to Monday clears every teacher first.
  editor.click(CourseCell(1, 0));
  for (int row = 5; row <= kLastRow; ++row) {
    EXPECT_EQ(editor.text(StartHour(row)), std::to_string(row));
    EXPECT_EQ(editor.teachers(row)->currentIndex(), -1) << row;
  }
}

TEST(KcDlgLoad, ANullColumnEndsTheLoadAtItsRowLeavingThatRowAsItWas) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  NumberPeriods(store, "一班", "星期一", 0);
  NumberPeriods(store, "二班", "星期一", 10);
  std::vector<std::string> ids =
      store.column("select ID from tblkcTime where BJName='二班' and Week='星期一' Order by ID");
  store.exec("Update tblkcTime set AutoOn=1 where ID=" + ids[1]);
  store.exec("Update tblkcTime set EndM=NULL where ID=" + ids[2]);
  RecordingMessages messages;

  EditorDriver editor(store.store());
  editor.chooseClass("二班");
  EXPECT_EQ(editor.text(StartHour(1)), "11");
  EXPECT_EQ(editor.text(StartHour(2)), "12");
  EXPECT_TRUE(editor.box(AutoOnBox(2))->isChecked());
  for (int row = 3; row <= kLastRow; ++row) {
    EXPECT_EQ(editor.text(StartHour(row)), std::to_string(row)) << row;
  }
  EXPECT_TRUE(messages.texts().empty());
}

TEST(KcDlgLoad, PowerBoxesShowTheIntegerValueOfTheirText) {
  struct Case {
    const char* stored;
    Qt::CheckState shown;
  };
  const Case cases[] = {{"0", Qt::Unchecked},        {"1", Qt::Checked},
                        {" 1", Qt::Checked},         {"1x", Qt::Checked},
                        {"abc", Qt::Unchecked},      {"2", Qt::PartiallyChecked},
                        {"-1", Qt::PartiallyChecked}};
  TempDatabase store;
  store.addClass("一班");
  std::vector<std::string> ids =
      store.column("select ID from tblkcTime where Week='星期一' Order by ID");
  for (size_t i = 0; i < std::size(cases); ++i) {
    store.exec("Update tblkcTime set AutoOn=" + Quote(cases[i].stored) +
               ", AutoOff=" + Quote(cases[i].stored) + " where ID=" + ids[i]);
  }
  EditorDriver editor(store.store());
  for (size_t i = 0; i < std::size(cases); ++i) {
    int row = static_cast<int>(i) + 1;
    EXPECT_EQ(editor.box(AutoOnBox(row))->checkState(), cases[i].shown) << cases[i].stored;
    EXPECT_EQ(editor.box(AutoOffBox(row))->checkState(), cases[i].shown) << cases[i].stored;
  }
}

TEST(KcDlgLoad, TeacherIsTheFirstEntryBeginningWithThNameFromTheSecondEntryOn) {
  struct Case {
    const char* thName;
    const char* chosen;  // "" for no choice
  };
  // Sorted entries: Ann(1), Anna(2), bob(3).
  const Case cases[] = {
      {"Anna(2)", "Anna(2)"},  // the full NameNumb
      {"ANNA", "Anna(2)"},     // letter case does not count
      {"Ann", "Anna(2)"},      // the search starts at the second entry ...
      {"Ann(1)", "Ann(1)"},    // ... and wraps around to the first
      {"bo", "bob(3)"},       {"Zed", ""}, {"", ""}, {" ", ""},  // a blank period's ThName
  };
  TempDatabase store;
  store.addClass("一班");
  store.addTeacher("3", "bob");
  store.addTeacher("2", "Anna");
  store.addTeacher("1", "Ann");
  std::vector<std::string> ids =
      store.column("select ID from tblkcTime where Week='星期二' Order by ID");
  EditorDriver editor(store.store());
  for (const Case& c : cases) {
    store.exec("Update tblkcTime set ThName=" + Quote(c.thName) + " where ID=" + ids[0]);
    editor.click(StartHour(1));  // leave the course grid, so that entering it reloads
    editor.click(CourseCell(1, 1));
    EXPECT_EQ(editor.teachers(1)->currentText().toStdString(), c.chosen) << c.thName;
  }
}

TEST(KcDlgLoad, OnlyTheUsersChoiceOfAClassReloadsTheGrids) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.exec("Insert into tblkc (BJName, Monday) Values ('一班', '语文')");
  store.exec("Insert into tblkc (BJName, Monday) Values ('二班', '数学')");
  EditorDriver editor(store.store());
  editor.classes()->setCurrentIndex(1);  // code, not the user
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  editor.classes()->setCurrentIndex(0);

  // Choosing the class shown again reloads it too.
  editor.type(CourseCell(1, 0), "改过");
  editor.chooseClass("一班");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  editor.chooseClass("二班");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "数学");
  // By keyboard.
  editor.classes()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(editor.classes(), Qt::Key_Up);
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "一班");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
}

TEST(KcDlgLoad, TabbingAlongRowOneSwitchesTheWeekdayAtEveryCell) {
  TempDatabase store;
  store.addClass("一班");
  for (int day = 0; day < 5; ++day)
    NumberPeriods(store, "一班", kSchoolWeekdays[day], 10 * day);
  EditorDriver editor(store.store());
  editor.type(StartHour(1), "99");  // an edit that is not applied is lost by a switch

  editor.click(CourseCell(1, 0));
  EXPECT_EQ(editor.weekday(), "星期一");
  EXPECT_EQ(editor.text(StartHour(1)), "1");
  for (int day = 1; day < 5; ++day) {
    editor.type(StartHour(1), "99");
    editor.click(CourseCell(1, day - 1));
    editor.tab();
    ASSERT_EQ(QApplication::focusWidget(), editor.edit(CourseCell(1, day)));
    EXPECT_EQ(editor.weekday(), kSchoolWeekdays[day]);
    EXPECT_EQ(editor.text(StartHour(1)), std::to_string(10 * day + 1));
  }
  EXPECT_EQ(editor.weekday(), "星期五");
  // Shift+Tab walks back the same way.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(editor.weekday(), "星期四");
}

TEST(KcDlgLoad, FocusComingBackToACourseCellDoesNotReload) {
  TempDatabase store;
  store.addClass("一班");
  NumberPeriods(store, "一班", "星期三", 0);
  EditorDriver editor(store.store());
  editor.click(CourseCell(3, 2));
  ASSERT_EQ(editor.text(StartHour(1)), "1");
  store.exec("Update tblkcTime set StartH='5' where Week='星期三'");
  // Another window takes the focus and gives it back, as a message box does.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  other.close();
  editor.window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor.window()));
  EXPECT_EQ(QApplication::focusWidget(), editor.edit(CourseCell(3, 2)));
  EXPECT_EQ(editor.text(StartHour(1)), "1");
}

}  // namespace
}  // namespace brenlow
