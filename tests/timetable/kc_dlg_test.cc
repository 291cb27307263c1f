// The main window's buttons that open other dialogs, its focus handling and how it ends.
#include "timetable/kc_dlg.h"

#include <gtest/gtest.h>

#include "core/shared_state.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "timetable/editor_driver.h"

namespace brenlow {
namespace {

using testing::EditorDriver;
using testing::RecordingMessages;
using testing::TempDatabase;
using namespace kc_dlg_ids;

TEST(CKcDlg, ButtonsWithoutTheirDialogDoNothing) {
  TempDatabase store;
  store.addClass("一班");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.type(CourseCell(1, 0), "语文");
  for (int button : {kClassListButton, kTeachersButton, kImportButton, kPasswordButton}) {
    editor.press(button);
  }
  EXPECT_TRUE(editor.window().isVisible());
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "一班");
  EXPECT_TRUE(messages.texts().empty());
}

// "保存" and "应用" write into the selected class, so after the class list dialog the selection
// and the grids must name the same class.
TEST(CKcDlg, AfterTheClassListDialogTheShownClassStaysSelectedAndSaveWritesIntoIt) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.exec("Insert into tblkc (BJName, Monday) Values ('二班', '数学')");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.chooseClass("二班");
  ASSERT_EQ(editor.text(CourseCell(1, 0)), "数学");

  QWidget* parentSeen = nullptr;
  editor.window().setClassListRunner([&](QWidget* parent) {
    parentSeen = parent;
    store.addClass("三班");
  });
  editor.press(kClassListButton);
  EXPECT_EQ(parentSeen, &editor.window());
  ASSERT_EQ(editor.classes()->count(), 3);
  EXPECT_EQ(editor.classes()->itemText(2).toStdString(), "三班");
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "二班");

  editor.type(CourseCell(1, 1), "英语");
  editor.press(kSaveButton);
  EXPECT_EQ(store.value("select Tuesday from tblkc where BJName='二班'"), "英语");
  EXPECT_EQ(store.value("select count(*) from tblkc where BJName='一班'"), "0");
}

TEST(CKcDlg, AfterTheClassListDialogRemovedTheShownClassTheFirstClassIsSelectedAndShown) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.exec("Insert into tblkc (BJName, Monday) Values ('一班', '语文')");
  store.exec("Insert into tblkc (BJName, Monday) Values ('二班', '数学')");
  store.exec("Update tblkcTime set StartH='8' where BJName='一班' and Week='星期一'");
  store.exec("Update tblkcTime set StartH='9' where BJName='二班' and Week='星期一'");
  EditorDriver editor(store.store());
  editor.chooseClass("二班");
  ASSERT_EQ(editor.text(StartHour(1)), "9");

  editor.window().setClassListRunner([&](QWidget*) {
    store.exec("Delete from tblbj where Name='二班'");
    store.exec("Delete from tblkc where BJName='二班'");
    store.exec("Delete from tblkcTime where BJName='二班'");
  });
  editor.press(kClassListButton);
  ASSERT_EQ(editor.classes()->count(), 1);
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "一班");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  EXPECT_EQ(editor.text(StartHour(1)), "8");
}

TEST(CKcDlg, TeacherDialogRunsWithTheFlagSetAndEachRowKeepsItsTeacher) {
  TempDatabase store;
  store.addClass("一班");
  store.addTeacher("1", "张三");
  store.addTeacher("2", "李四");
  store.addTeacher("3", "王五");
  store.exec("Update tblkcTime set ThName='张三(1)' where ID=1");
  store.exec("Update tblkcTime set ThName='李四(2)' where ID=2");
  store.exec("Update tblkcTime set ThName='王五(3)' where ID=3");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  ASSERT_EQ(editor.teachers(2)->currentText().toStdString(), "李四(2)");

  int flagDuringDialog = -1;
  editor.window().setTeacherListRunner([&](QWidget*) {
    flagDuringDialog = teacherDialogOpen;
    store.addTeacher("4", "赵六");
    // Renamed as the teacher dialog renames: the teacher's row and the periods that name it.
    store.exec("Update tblThMes set Name='李思', NameNumb='李思(2)' where Numb='2'");
    store.exec("Update tblkcTime set ThName='李思(2)' where ThName='李四(2)'");
    store.exec("Delete from tblThMes where Numb='3'");
  });
  editor.press(kTeachersButton);
  EXPECT_EQ(flagDuringDialog, 1);
  EXPECT_EQ(teacherDialogOpen, 0);
  for (int row = kFirstRow; row <= kLastRow; ++row)
    EXPECT_EQ(editor.teachers(row)->count(), 3) << row;
  EXPECT_EQ(editor.teachers(1)->currentText().toStdString(), "张三(1)");
  EXPECT_EQ(editor.teachers(2)->currentText().toStdString(), "李思(2)");
  EXPECT_EQ(editor.teachers(3)->currentIndex(), -1) << "a removed teacher cannot be chosen";
  EXPECT_EQ(editor.teachers(4)->currentIndex(), -1);

  editor.press(kApplyButton);
  EXPECT_EQ(store.column("select ThName from tblkcTime where Week='星期一' Order by ID"),
            (std::vector<std::string>{"张三(1)", "李思(2)", "", "", "", "", ""}));
}

TEST(CKcDlg, ImportDialogReloadsBothGrids) {
  TempDatabase store;
  store.addClass("一班");
  EditorDriver editor(store.store());
  editor.window().setImportRunner([&](QWidget*) {
    store.exec("Insert into tblkc (BJName, Friday) Values ('一班', '体育')");
    store.exec("Update tblkcTime set StartH='8', AutoOn=1 where ID=1");
  });
  editor.press(kImportButton);
  EXPECT_EQ(editor.text(CourseCell(1, 4)), "体育");
  EXPECT_EQ(editor.text(StartHour(1)), "8");
  EXPECT_TRUE(editor.box(AutoOnBox(1))->isChecked());
}

TEST(CKcDlg, PasswordDialogChangesNothingElse) {
  TempDatabase store;
  store.addClass("一班");
  EditorDriver editor(store.store());
  editor.type(StartHour(1), "9");
  int runs = 0;
  editor.window().setPasswordRunner([&](QWidget*) { ++runs; });
  editor.press(kPasswordButton);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(editor.text(StartHour(1)), "9");
}

TEST(CKcDlg, EnterEndsTheWindowWithoutPressingAFocusedButton) {
  TempDatabase store;
  store.addClass("一班");
  RecordingMessages messages;
  EditorDriver editor(store.store());
  editor.control<QPushButton>(kApplyButton)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(editor.window().isVisible());
  EXPECT_EQ(editor.window().result(), QDialog::Accepted);
  EXPECT_TRUE(messages.texts().empty());  // "应用" did not run
}

}  // namespace
}  // namespace brenlow
