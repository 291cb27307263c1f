#include "dialogs/calendar_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCharFormat>
#include <fstream>

#include "dialogs/calendar_entry_dlg.h"
#include "dialogs/marked_calendar.h"
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
using Mark = MarkedCalendar::Mark;

class CalendarWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    store_.addClass("二班");
  }

  // The table's rows, cells joined by "|".
  Lines rows() {
    Lines lines;
    QTableWidget& table = window_.table();
    for (int row = 0; row < table.rowCount(); ++row) {
      std::string line;
      for (int column = 0; column < table.columnCount(); ++column)
        line += (column ? "|" : "") + table.item(row, column)->text().toStdString();
      lines.push_back(line);
    }
    return lines;
  }
  void admin(const Lines& arguments) {
    testing::AdminRun run = testing::RunAdmin(store_.path(), arguments);
    ASSERT_EQ(run.code, 0) << run.errors;
  }
  // Fills the add dialog once it shows and presses its OK button.
  void addThroughTheDialog(QDate from, QDate to, int kind, int weekday, int classIndex,
                           const QString& note) {
    WhenModal<CalendarEntryDlg>([=](CalendarEntryDlg& dialog) {
      Find<QDateEdit>(dialog, "from").setDate(from);
      Find<QComboBox>(dialog, "kind").setCurrentIndex(kind);
      Find<QDateEdit>(dialog, "to").setDate(to);
      Find<QComboBox>(dialog, "weekday").setCurrentIndex(weekday);
      Find<QComboBox>(dialog, "class").setCurrentIndex(classIndex);
      Find<QLineEdit>(dialog, "note").setText(note);
      Press(dialog, "ok");
      if (dialog.isVisible())
        dialog.reject();  // refused: the refusal was recorded
    });
    Press(window_, "add");
  }

  TempDatabase store_;
  RecordingMessages messages_;
  CalendarWindow window_{store_.store()};
};

TEST_F(CalendarWindowTest, ListsAndMarksWhatTheShellAdded) {
  admin({"calendar", "add", "2026-10-01..2026-10-02", "off", "--note", "国庆节"});
  admin({"calendar", "add", "2026-10-02", "off", "--class", "一班", "--note", "春游"});
  admin({"calendar", "add", "2026-10-10", "follows", "星期五"});
  admin({"calendar", "add", "2026-10-20", "off", "--class", "二班"});
  window_.show();
  EXPECT_EQ(window_.windowTitle(), "校历");
  QStringList headers;
  for (int column = 0; column < window_.table().columnCount(); ++column)
    headers << window_.table().horizontalHeaderItem(column)->text();
  EXPECT_EQ(headers, (QStringList{"日期", "类型", "按星期", "班级", "备注"}));
  EXPECT_EQ(rows(), (Lines{"2026-10-01|放假||全校|国庆节", "2026-10-02|放假||全校|国庆节",
                           "2026-10-02|放假||一班|春游", "2026-10-10|调休上课|星期五|全校|",
                           "2026-10-20|放假||二班|"}));
  MarkedCalendar& calendar = window_.calendar();
  struct Case {
    QDate date;
    Mark mark;
    const char* text;
  } cases[] = {
      {QDate(2026, 10, 1), Mark::kSchoolOff, "休"},
      {QDate(2026, 10, 2), Mark::kSchoolOff, "休"},  // the school's day outranks a class's
      {QDate(2026, 10, 10), Mark::kMakeUp, "班"},
      {QDate(2026, 10, 20), Mark::kClassOff, "部"},
      {QDate(2026, 10, 21), Mark::kNone, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(calendar.mark(c.date), c.mark) << c.date.toString().toStdString();
    EXPECT_EQ(MarkedCalendar::MarkText(c.mark), c.text);
    // Each mark has its colour besides its text; an unmarked day has none.
    EXPECT_EQ(calendar.dateTextFormat(c.date).background().style() != Qt::NoBrush,
              c.mark != Mark::kNone);
  }
  EXPECT_NE(calendar.dateTextFormat(QDate(2026, 10, 1)).background().color(),
            calendar.dateTextFormat(QDate(2026, 10, 10)).background().color());
}

TEST_F(CalendarWindowTest, AddsAndRemovesThroughTheCalendarsFunctions) {
  window_.show();
  addThroughTheDialog(QDate(2026, 5, 1), QDate(2026, 5, 3), 0, 0, 2, "劳动节");
  addThroughTheDialog(QDate(2026, 5, 9), QDate(2026, 5, 9), 1, 4, 0, "补班");
  // Refused and nothing written: a range that ends before it begins.
  addThroughTheDialog(QDate(2026, 6, 5), QDate(2026, 6, 1), 0, 0, 0, "");
  EXPECT_EQ(messages_.texts(), Lines{"结束日期早于开始日期。"});
  EXPECT_EQ(rows(),
            (Lines{"2026-05-01|放假||二班|劳动节", "2026-05-02|放假||二班|劳动节",
                   "2026-05-03|放假||二班|劳动节", "2026-05-09|调休上课|星期五|全校|补班"}));
  EXPECT_EQ(window_.calendar().mark(QDate(2026, 5, 9)), Mark::kMakeUp);

  messages_.clear();
  window_.table().setCurrentCell(1, 0);
  messages_.scriptAnswers({MessageAnswer::kNo, MessageAnswer::kYes});
  Press(window_, "remove");
  EXPECT_EQ(rows().size(), 4u);
  Press(window_, "remove");
  EXPECT_EQ(messages_.texts(), (Lines{"确定删除 2026-05-02 二班 的校历条目吗？",
                                      "确定删除 2026-05-02 二班 的校历条目吗？"}));
  EXPECT_EQ(store_.column("select date_day from tbl_calendar Order by date_day"),
            (Lines{"2026-05-01", "2026-05-03", "2026-05-09"}));
  EXPECT_EQ(window_.calendar().mark(QDate(2026, 5, 2)), Mark::kNone);
}

TEST_F(CalendarWindowTest, ImportsAChosenFileAndNamesTheMakeUpDaysLeftOut) {
  const std::string path = store_.folder() + "/2026.json";
  std::ofstream(path) << R"({"days": [
    {"name": "劳动节", "date": "2026-05-01", "isOffDay": true},
    {"name": "劳动节", "date": "2026-05-09", "isOffDay": false}]})";
  window_.show();
  WhenModal<QDialog>([path](QDialog& chooser) {
    auto* files = qobject_cast<QFileDialog*>(&chooser);
    ASSERT_NE(files, nullptr);
    files->selectFile(QString::fromStdString(path));
    chooser.accept();
  });
  Press(window_, "import");
  EXPECT_EQ(rows(), Lines{"2026-05-01|放假||全校|劳动节"});
  EXPECT_EQ(messages_.texts(),
            Lines{"导入 1 条。\n以下补班日未导入，请用“添加…”选择“调休上课”和按星期几：\n"
                  "2026-05-09 劳动节 补班"});

  messages_.clear();
  const std::string bad = store_.folder() + "/bad.csv";
  std::ofstream(bad) << "date,kind,weekday,class,note\n2026-06-01,off,,九班,\n";
  window_.importFile(QString::fromStdString(bad));
  ASSERT_EQ(messages_.messages().size(), 1u);
  EXPECT_EQ(messages_.messages()[0].text, "导入失败！");
  EXPECT_NE(messages_.messages()[0].detail.find("line 2: no such class: 九班"), std::string::npos);
  EXPECT_EQ(rows().size(), 1u);
}

}  // namespace
}  // namespace brenlow
