#include "timetable/room_status_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "core/clock.h"
#include "support/temp_database.h"
#include "timetable/kc_dlg.h"

namespace brenlow {
namespace {

using testing::TempDatabase;

// Wednesday 2024-03-06.
LocalTime Wednesday(int hour, int minute) {
  return MakeLocalTime(2024, 3, 6, hour, minute);
}

class RoomStatusWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", "10.0.0.1");
    store_.addClass("二班", "10.0.0.2");
    store_.exec("Update tblbj set Status=1 where Name='一班'");
    store_.exec("Update tblbj set Status=7 where Name='二班'");
    // The server started before 一班's report; 二班 has not reported since.
    store_.exec(
        "Insert into tbl_server_state (name, value) Values ('started', "
        "'2024-03-06T07:00:00')");
    store_.exec(
        "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', AutoOff=1, "
        "ThName='张三(12)' where ID=(select ID from tblkcTime where BJName='一班' and "
        "Week='星期三' order by ID limit 1)");
    store_.exec("Insert into tbl_last_report (class, time) Values ('一班', '2024-03-06T08:09:31')");
  }

  std::vector<std::string> row(int number) {
    std::vector<std::string> texts;
    for (int column = 0; column < window_.table().columnCount(); ++column) {
      QTableWidgetItem* cell = window_.table().item(number, column);
      texts.push_back(cell ? cell->text().toStdString() : "<none>");
    }
    return texts;
  }
  QColor stateColour(int number) { return window_.table().item(number, 2)->background().color(); }
  QTimer& timer() { return *window_.findChild<QTimer*>(); }

  TempDatabase store_;
  ManualClock clock_{Wednesday(8, 10)};
  RoomStatusWindow window_{clock_, store_.store()};
};

TEST_F(RoomStatusWindowTest, ShowsEachRoomAtTheClocksMinuteInColourAndWords) {
  window_.show();
  EXPECT_EQ(window_.windowTitle(), "教室状态");
  std::vector<std::string> headers;
  for (int column = 0; column < window_.table().columnCount(); ++column)
    headers.push_back(window_.table().horizontalHeaderItem(column)->text().toStdString());
  EXPECT_EQ(headers, (std::vector<std::string>{"班级", "中控IP", "状态", "日程", "当前课",
                                               "下一动作", "最后上报"}));
  EXPECT_EQ(row(0),
            (std::vector<std::string>{"一班", "10.0.0.1", "已开机", "上课",
                                      "第1节 08:00-08:45 张三(12)", "08:45 关机", "08:09:31"}));
  EXPECT_EQ(row(1),
            (std::vector<std::string>{"二班", "10.0.0.2", "未知", "上课", "无课", "", "无"}));
  EXPECT_EQ(stateColour(0).green() > stateColour(0).red(), true);  // green
  EXPECT_GT(stateColour(1).red(), stateColour(1).blue());          // amber

  clock_.set(Wednesday(8, 50));
  store_.exec("Update tblbj set Status=0 where Name='一班'");
  window_.findChild<QPushButton*>()->click();  // "刷新"
  clock_.set(MakeLocalTime(2024, 3, 7, 8, 50));
  window_.findChild<QPushButton*>()->click();
  EXPECT_EQ(row(0), (std::vector<std::string>{"一班", "10.0.0.1", "已关机", "上课", "无课", "",
                                              "2024-03-06 08:09:31"}));
  EXPECT_EQ(stateColour(0).red(), stateColour(0).blue());  // grey
}

TEST_F(RoomStatusWindowTest, RefreshesEveryFiveSecondsOnlyWhileShownAndKeepsTheSelection) {
  for (int i = 0; i < 40; ++i)
    store_.addClass("班" + std::to_string(i));
  window_.resize(400, 200);
  window_.show();
  EXPECT_TRUE(timer().isActive());
  EXPECT_EQ(timer().interval(), 5000);
  window_.table().selectRow(30);
  window_.table().verticalScrollBar()->setValue(20);

  store_.exec("Update tblbj set Status=0 where Name='一班'");
  EXPECT_TRUE(QTest::qWaitFor([&] { return row(0)[2] == "已关机"; }, 7000));
  EXPECT_EQ(window_.table().currentRow(), 30);
  EXPECT_EQ(window_.table().verticalScrollBar()->value(), 20);

  // A class removed before the selected one: the selection stays on its class.
  std::string selected = row(30)[0];
  store_.exec("Delete from tblbj where Name='二班'");
  window_.refresh();
  EXPECT_EQ(row(window_.table().currentRow())[0], selected);

  window_.hide();
  EXPECT_FALSE(timer().isActive());
}

TEST_F(RoomStatusWindowTest, AFailedReadSaysSoInTheStatusLineAndKeepsTheRows) {
  window_.show();
  EXPECT_NE(window_.statusLine().text(), "读取失败");
  store_.exec("Drop table tblkcTime");
  window_.refresh();
  EXPECT_EQ(window_.statusLine().text(), "读取失败");
  EXPECT_EQ(row(0)[0], "一班");
}

TEST_F(RoomStatusWindowTest, TheStatusLineNamesAWholeSchoolDayOffOrMakeUpDay) {
  store_.exec(
      "Insert into tbl_calendar (date_day, kind, weekday, class_Name, note) Values "
      "('2024-03-06', 'off', '', '', '考试'), ('2024-03-09', 'follows', '星期三', '', ''), "
      "('2024-03-13', 'off', '', '二班', '春游')");
  window_.show();
  EXPECT_EQ(row(0), (std::vector<std::string>{"一班", "10.0.0.1", "已开机", "放假：考试", "无课",
                                              "08:45 关机", "08:09:31"}));
  EXPECT_EQ(window_.statusLine().text(), "更新于 08:10:00　今日全校放假：考试");
  clock_.set(MakeLocalTime(2024, 3, 9, 8, 10));
  window_.refresh();
  EXPECT_EQ(row(0)[3], "调休：按星期三");
  EXPECT_EQ(row(0)[4], "第1节 08:00-08:45 张三(12)");
  EXPECT_EQ(window_.statusLine().text(), "更新于 08:10:00　今日全校调休：按星期三");
  clock_.set(MakeLocalTime(2024, 3, 13, 8, 10));  // one class's own day off names no school day
  window_.refresh();
  EXPECT_EQ(row(1)[3], "放假：春游");
  EXPECT_EQ(window_.statusLine().text(), "更新于 08:10:00");
}

TEST_F(RoomStatusWindowTest, TheMainWindowsButtonBesideThePasswordButtonOpensIt) {
  CKcDlg main(store_.store());
  int opened = 0;
  main.setRoomStatusRunner([&opened](QWidget*) { ++opened; });
  auto* button = main.findChild<QPushButton*>("roomStatus");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "教室状态");
  button->click();
  EXPECT_EQ(opened, 1);
  // "校历" beside it opens the school calendar's window.
  int calendarOpened = 0;
  main.setCalendarRunner([&calendarOpened](QWidget*) { ++calendarOpened; });
  auto* calendar = main.findChild<QPushButton*>("calendar");
  ASSERT_NE(calendar, nullptr);
  EXPECT_EQ(calendar->text(), "校历");
  calendar->click();
  EXPECT_EQ(calendarOpened, 1);
}

}  // namespace
}  // namespace brenlow
