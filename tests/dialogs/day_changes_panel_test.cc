#include "dialogs/day_changes_panel.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableWidget>

#include "dialogs/calendar_window.h"
#include "dialogs/day_change_dlg.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::Press;
using testing::RecordingMessages;
using testing::TempDatabase;
using testing::WhenModal;
using Lines = std::vector<std::string>;

// The 校历 window's "代课与停课" table, on 一班 and 二班 with their first two Wednesday periods
// filled in and two teachers. 2026-12-16 is a Wednesday, 2026-12-19 a Saturday.
class DayChangesPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    store_.addClass("二班");
    store_.addTeacher("7", "张三");
    store_.addTeacher("8", "李四");
    store_.exec(
        "Update tblkcTime set StartH='8', StartM='0', EndH='8', EndM='45', ThName='张三(7)' "
        "where Week='星期三' and ID in (select ID from tblkcTime t where t.BJName=tblkcTime.BJName "
        "and t.Week='星期三' Order by ID limit 2)");
  }

  Lines rows() {
    Lines lines;
    QTableWidget& table = window_.changes().table();
    for (int row = 0; row < table.rowCount(); ++row) {
      std::string line;
      for (int column = 0; column < table.columnCount(); ++column)
        line += (column ? "|" : "") + table.item(row, column)->text().toStdString();
      lines.push_back(line);
    }
    return lines;
  }
  // Fills the add dialog once it shows and presses its OK button.
  void addThroughTheDialog(QDate date, int classIndex, int period, int kind, int teacherIndex,
                           const QString& note) {
    WhenModal<DayChangeDlg>([=](DayChangeDlg& dialog) {
      Find<QDateEdit>(dialog, "date").setDate(date);
      Find<QComboBox>(dialog, "class").setCurrentIndex(classIndex);
      Find<QComboBox>(dialog, "period").setCurrentIndex(period - 1);
      Find<QComboBox>(dialog, "kind").setCurrentIndex(kind);
      Find<QComboBox>(dialog, "teacher").setCurrentIndex(teacherIndex);
      Find<QLineEdit>(dialog, "note").setText(note);
      Press(dialog, "ok");
      if (dialog.isVisible())
        dialog.reject();  // refused: the refusal was recorded
    });
    Press(window_, "addChange");
  }

  TempDatabase store_;
  RecordingMessages messages_;
  CalendarWindow window_{store_.store()};
};

TEST_F(DayChangesPanelTest, ListsAddsAndRemovesThroughTheShellsFunctions) {
  testing::AdminRun shell = testing::RunAdmin(
      store_.path(), {"change", "add", "2026-12-16", "二班", "2", "--cancel", "--note", "大会"});
  ASSERT_EQ(shell.code, 0) << shell.errors;
  window_.show();
  QStringList headers;
  for (int column = 0; column < window_.changes().table().columnCount(); ++column)
    headers << window_.changes().table().horizontalHeaderItem(column)->text();
  EXPECT_EQ(headers, (QStringList{"日期", "班级", "节", "类型", "代课老师", "备注"}));
  EXPECT_EQ(rows(), Lines{"2026-12-16|二班|2|停课||大会"});

  addThroughTheDialog(QDate(2026, 12, 16), 0, 1, 0, 1, "张三病假");
  // Refused and nothing written: a Saturday has no periods.
  addThroughTheDialog(QDate(2026, 12, 19), 0, 1, 1, 0, "");
  EXPECT_EQ(messages_.texts(), Lines{"period 1 of 一班 has no times on 2026-12-19"});
  EXPECT_EQ(rows(),
            (Lines{"2026-12-16|一班|1|代课|李四(8)|张三病假", "2026-12-16|二班|2|停课||大会"}));

  messages_.clear();
  window_.changes().table().setCurrentCell(1, 0);
  messages_.scriptAnswers({MessageAnswer::kNo, MessageAnswer::kYes});
  Press(window_, "removeChange");
  EXPECT_EQ(rows().size(), 2u);
  Press(window_, "removeChange");
  EXPECT_EQ(messages_.texts(), (Lines{"确定删除 2026-12-16 二班 第2节的停课吗？",
                                      "确定删除 2026-12-16 二班 第2节的停课吗？"}));
  EXPECT_EQ(rows(), Lines{"2026-12-16|一班|1|代课|李四(8)|张三病假"});
  EXPECT_EQ(store_.value("select class_Name || ' ' || period || ' ' || kind || ' ' || "
                         "teacher_Numb from tbl_day_change"),
            "一班 1 substitute 8");
}

}  // namespace
}  // namespace brenlow
