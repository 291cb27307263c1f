// The main window's controls: their numbers, texts, kinds and arrangement.
#include <gtest/gtest.h>

#include <QLabel>

#include "support/temp_database.h"
#include "timetable/editor_driver.h"
#include "timetable/kc_dlg.h"

namespace brenlow {
namespace {

using testing::EditorDriver;
using testing::TempDatabase;
using namespace kc_dlg_ids;

QString Caption(QWidget* widget) {
  if (auto* label = qobject_cast<QLabel*>(widget))
    return label->text();
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    return button->text();
  if (auto* group = qobject_cast<QGroupBox*>(widget))
    return group->title();
  return QString();
}

TEST(KcDlgLayout, NumberedControlsCarryTheirTexts) {
  TempDatabase store;
  EditorDriver editor(store.store());
  const std::pair<int, const char*> texts[] = {{kClassLabel, "班级："},
                                               {kClassListButton, "..."},
                                               {kTeachersButton, "老师"},
                                               {kImportButton, "导入课程表"},
                                               {kPeriodGroup, "星期一"},
                                               {kAutoOnCaption, "自动开机"},
                                               {kStartCaption, "上课时间"},
                                               {kEndCaption, "下课时间"},
                                               {kAutoOffCaption, "自动关机"},
                                               {kCourseGroup, "课程安排"},
                                               {1115, "星期一"},
                                               {1116, "星期二"},
                                               {1095, "星期三"},
                                               {1117, "星期四"},
                                               {1118, "星期五"},
                                               {kApplyButton, "应用"},
                                               {kCloseButton, "关闭"},
                                               {kPasswordButton, "修改密码"},
                                               {kSaveButton, "保存"}};
  for (const auto& [id, text] : texts) {
    EXPECT_EQ(Caption(editor.control<QWidget>(id)).toStdString(), text) << id;
  }
  EXPECT_EQ(editor.window().windowTitle().toStdString(), "课程表");
  EXPECT_EQ(editor.control<QLabel>(kClassLabel)->buddy(), editor.classes());
  EXPECT_FALSE(editor.classes()->isEditable());
  EXPECT_FALSE(editor.control<QWidget>(kCloseButton)->isVisible());
  for (QPushButton* button : editor.window().findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
  }
}

TEST(KcDlgLayout, GridCellsAreFoundByTheirSumsAndShowNoNumber) {
  TempDatabase store;
  EditorDriver editor(store.store());
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int id : {StartHour(row), StartMinute(row), EndHour(row), EndMinute(row)}) {
      QLineEdit* time = editor.edit(id);
      EXPECT_EQ(time->alignment(), Qt::AlignCenter) << id;
      EXPECT_EQ(time->maxLength(), 32767) << id;
    }
    for (int day = 0; day < 5; ++day) {
      EXPECT_EQ(editor.edit(CourseCell(row, day))->alignment(), Qt::AlignCenter);
    }
    for (int id : {AutoOnBox(row), AutoOffBox(row)}) {
      EXPECT_FALSE(editor.box(id)->isTristate()) << id;
      EXPECT_TRUE(editor.box(id)->text().isEmpty());
    }
    EXPECT_TRUE(editor.teachers(row)->isEditable());
    EXPECT_EQ(editor.teachers(row)->insertPolicy(), QComboBox::NoInsert);
  }
  // 5 in the top line, 2 groups, 4 + 5 captions, 7 x 12 grid controls, 4 buttons.
  int numbered = 0;
  for (QWidget* widget : editor.window().findChildren<QWidget*>()) {
    bool isNumber = false;
    QString number = widget->objectName();
    number.toInt(&isNumber);
    if (!isNumber)
      continue;
    ++numbered;
    for (const QString& visible : {Caption(widget), widget->toolTip(), widget->accessibleName(),
                                   widget->accessibleDescription(), widget->whatsThis()}) {
      EXPECT_FALSE(number.size() > 1 && visible.contains(number)) << number.toStdString();
    }
  }
  EXPECT_EQ(numbered, 5 + 2 + 9 + 7 * 12 + 4);
}

TEST(KcDlgLayout, PeriodRowsAndCourseRowsStandOnOneLine) {
  TempDatabase store;
  EditorDriver editor(store.store());
  auto middle = [&](int id) {
    QWidget* widget = editor.control<QWidget>(id);
    return widget->mapTo(&editor.window(), widget->rect().center()).y();
  };
  EXPECT_EQ(middle(kStartCaption), middle(1115));
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    EXPECT_EQ(middle(StartHour(row)), middle(CourseCell(row, 0))) << row;
    EXPECT_EQ(middle(TeacherListId(row)), middle(CourseCell(row, 4))) << row;
    EXPECT_EQ(middle(AutoOnBox(row)), middle(CourseCell(row, 2))) << row;
  }
  EXPECT_EQ(middle(kApplyButton), middle(kSaveButton));
}

TEST(KcDlgLayout, TheHiddenCloseButtonEndsTheWindow) {
  TempDatabase store;
  EditorDriver editor(store.store());
  editor.control<QPushButton>(kCloseButton)->click();
  EXPECT_FALSE(editor.window().isVisible());
  EXPECT_EQ(editor.window().result(), QDialog::Rejected);
}

}  // namespace
}  // namespace brenlow
