#include "timetable/teacher_list.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace brenlow {
namespace {

QStringList Entries(const TeacherList& list) {
  QStringList entries;
  for (int i = 0; i < list.count(); ++i)
    entries << list.itemText(i);
  return entries;
}

TEST(TeacherList, EntriesStaySortedAndNoneIsChosenByItself) {
  TeacherList list;
  for (const char* entry : {"bob(3)", "Ann(10)", "ann(2)", "Carl(1)", "Ann(9)"}) {
    list.addEntry(QString::fromUtf8(entry));
  }
  EXPECT_EQ(Entries(list), (QStringList{"ann(2)", "Ann(9)", "Ann(10)", "bob(3)", "Carl(1)"}));
  EXPECT_EQ(list.currentIndex(), -1);
  EXPECT_EQ(list.chosenText(), "");
}

TEST(TeacherList, OnlyAChosenEntryCounts) {
  QWidget window;
  auto* list = new TeacherList(&window);
  auto* other = new QLineEdit(&window);
  other->move(0, 40);
  list->addEntry("Anna(1)");
  list->addEntry("Bob(2)");
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  list->selectByPrefix("bob");
  EXPECT_EQ(list->chosenText(), "Bob(2)");
  // Typing over a choice undoes it, and leaving the list drops the typed text.
  list->setFocus();
  QTest::keyClick(list->lineEdit(), Qt::Key_Backspace);
  EXPECT_EQ(list->chosenText(), "");
  other->setFocus();
  EXPECT_EQ(list->currentText(), "");
  EXPECT_EQ(list->currentIndex(), -1);

  // An entry typed in full is chosen when the list is left, as an editable drop-down does.
  list->setFocus();
  list->lineEdit()->setText("anna(1)");
  other->setFocus();
  EXPECT_EQ(list->chosenText(), "Anna(1)");
  // Typed text never becomes an entry.
  list->setFocus();
  list->lineEdit()->setText("Carl");
  QTest::keyClick(list->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(list->count(), 2);
  EXPECT_EQ(list->chosenText(), "");
}

}  // namespace
}  // namespace brenlow
