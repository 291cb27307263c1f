#include "timetable/time_edit.h"

#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QTest>

namespace brenlow {
namespace {

TEST(TimeEdit, TheKeyboardEntersDigitsOnly) {
  TimeEdit edit;
  edit.show();
  QTest::keyClicks(&edit, "1a2 :3-");
  EXPECT_EQ(edit.text(), "123");
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);  // editing keys still work
  QTest::keyClicks(&edit, "45");
  EXPECT_EQ(edit.text(), "45");

  // An input method's commit obeys the same rule (full-width digits are not digits here).
  for (const char* commit : {"８", "八", "7"}) {
    QInputMethodEvent event;
    event.setCommitString(QString::fromUtf8(commit));
    QApplication::sendEvent(&edit, &event);
  }
  EXPECT_EQ(edit.text(), "457");
}

TEST(TimeEdit, StoredTextsShowAsTheyAreAndNothingLimitsTheLength) {
  TimeEdit edit;
  edit.setText(" ");
  EXPECT_EQ(edit.text(), " ");
  edit.setText("8:00");
  EXPECT_EQ(edit.text(), "8:00");
  edit.clear();
  QTest::keyClicks(&edit, QString(40, '9'));
  EXPECT_EQ(edit.text(), QString(40, '9'));
}

}  // namespace
}  // namespace brenlow
