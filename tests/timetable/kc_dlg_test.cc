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
  EditorDriver editor;
  editor.type(CourseCell(1, 0), "语文");
  for (int button : {kClassListButton, kTeachersButton, kImportButton, kPasswordButton}) {
    editor.press(button);
  }
  EXPECT_TRUE(editor.window().isVisible());
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "语文");
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "一班");
  EXPECT_TRUE(messages.texts().empty());
}

TEST(CKcDlg, ClassListDialogRefillsAndSelectsTheFirstClassButKeepsTheGrids) {
  TempDatabase store;
  store.addClass("一班");
  store.addClass("二班");
  store.exec("Insert into tblkc (BJName, Monday) Values ('二班', '数学')");
  EditorDriver editor;
  editor.chooseClass("二班");
  ASSERT_EQ(editor.text(CourseCell(1, 0)), "数学");

  QWidget* parentSeen = nullptr;
  editor.window().setClassListRunner([&](QWidget* parent) {
    parentSeen = parent;
    store.exec("Delete from tblbj where Name='一班'");
    store.addClass("三班");
  });
  editor.press(kClassListButton);
  EXPECT_EQ(parentSeen, &editor.window());
  ASSERT_EQ(editor.classes()->count(), 2);
  EXPECT_EQ(editor.classes()->itemText(1).toStdString(), "三班");
  EXPECT_EQ(editor.classes()->currentIndex(), 0);
  EXPECT_EQ(editor.classes()->currentText().toStdString(), "二班");
  EXPECT_EQ(editor.text(CourseCell(1, 0)), "数学");  // not reloaded
}

TEST(CKcDlg, TeacherDialogRunsWithTheFlagSetAndRefillsTheTeacherLists) {
  TempDatabase store;
  store.addClass("一班");
  store.addTeacher("1", "张三");
  store.exec("Update tblkcTime set ThName='张三(1)' where ID=1");
  EditorDriver editor;
  ASSERT_EQ(editor.teachers(1)->currentText().toStdString(), "张三(1)");

  int flagDuringDialog = -1;
  editor.window().setTeacherListRunner([&](QWidget*) {
    flagDuringDialog = teacherDialogOpen;
    store.addTeacher("2", "李四");
  });
  editor.press(kTeachersButton);
  EXPECT_EQ(flagDuringDialog, 1);
  EXPECT_EQ(teacherDialogOpen, 0);
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    EXPECT_EQ(editor.teachers(row)->count(), 2);
    EXPECT_EQ(editor.teachers(row)->currentIndex(), -1) << row;
    EXPECT_EQ(editor.teachers(row)->currentText(), "");
  }
}

TEST(CKcDlg, ImportDialogReloadsBothGrids) {
  TempDatabase store;
  store.addClass("一班");
  EditorDriver editor;
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
  EditorDriver editor;
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
  EditorDriver editor;
  editor.control<QPushButton>(kApplyButton)->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_FALSE(editor.window().isVisible());
  EXPECT_EQ(editor.window().result(), QDialog::Accepted);
  EXPECT_TRUE(messages.texts().empty());  // "应用" did not run
}

}  // namespace
}  // namespace brenlow
