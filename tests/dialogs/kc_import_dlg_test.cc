#include "dialogs/kc_import_dlg.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "records/gbk_text_file.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::RecordingMessages;
using testing::TempDatabase;
using testing::WhenModal;

// The sample files kept beside this test (code page 936, CR LF), also used to try the program.
std::string SampleFile(const char* name) {
  return (std::filesystem::path(BRENLOW_DIALOGS_TEST_DATA) / name).string();
}

const std::vector<std::string> kUnchangedPeriods(35, " , , , ");

class ImportDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    store_.addClass("二班");
    dialog_.show();
  }

  // A code page 936 file made of UTF-8 lines, each ended by lineEnd.
  std::string gbkFile(const std::string& name, const std::vector<std::string>& lines,
                      const std::string& lineEnd = "\r\n") const {
    std::string bytes;
    for (const std::string& line : lines) {
      std::string encoded;
      int unused = 0;
      EXPECT_TRUE(EncodeGbk(line, encoded, unused));
      bytes += encoded + lineEnd;
    }
    return rawFile(name, bytes);
  }
  std::string rawFile(const std::string& name, const std::string& bytes) const {
    std::string path = folder_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string emptyCourseTable() const { return gbkFile("none.csv", {kCourseTableHeader}); }
  std::string emptyTimeTable() const { return gbkFile("none-time.csv", {kTimeTableHeader}); }

  // Types both paths and presses "导入", as a person would.
  void import(const std::string& timeTable, const std::string& courseTable) {
    Find<QLineEdit>(dialog_, "1055").setText(QString::fromStdString(timeTable));
    Find<QLineEdit>(dialog_, "1077").setText(QString::fromStdString(courseTable));
    Find<QPushButton>(dialog_, "1").click();
  }

  // "StartH,StartM,EndH,EndM" of every period of a class, in ID order.
  std::vector<std::string> periods(const std::string& className) const {
    return store_.column(
        "select StartH||','||StartM||','||EndH||','||EndM from tblkcTime where BJName='" +
        className + "' Order by ID");
  }
  // "Monday|Tuesday|Wednesday|Thursday|Friday" of every course row of a class, in ID order.
  std::vector<std::string> courses(const std::string& className) const {
    return store_.column(
        "select Monday||'|'||Tuesday||'|'||Wednesday||'|'||Thursday||'|'||Friday from tblkc "
        "where BJName='" +
        className + "' Order by ID");
  }
  void expectReadyForMore() {
    EXPECT_TRUE(Find<QPushButton>(dialog_, "1").isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(dialog_, "1055").text().isEmpty());
    EXPECT_TRUE(Find<QLineEdit>(dialog_, "1077").text().isEmpty());
    EXPECT_TRUE(dialog_.isVisible());
  }

  TempDatabase store_;
  RecordingMessages messages_;
  QTemporaryDir folder_;
  CKCImportDlg dialog_{store_.store()};
};

TEST_F(ImportDialog, SampleFilesSetEveryClassesTimesAndTheNamedClassesCourses) {
  EXPECT_EQ(dialog_.windowTitle(), "课程表导入");
  import(SampleFile("time_table.csv"), SampleFile("course_table.csv"));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  expectReadyForMore();

  const std::vector<std::string> day = {"8,0,8,45",   "8,55,9,40",   "10,0,10,45", "10,55,11,40",
                                        "14,0,14,45", "14,55,15,40", "16,0,16,45"};
  std::vector<std::string> week;
  for (int weekday = 0; weekday < 5; ++weekday)
    week.insert(week.end(), day.begin(), day.end());
  EXPECT_EQ(periods("一班"), week);
  EXPECT_EQ(periods("二班"), week);
  EXPECT_EQ(courses("一班"),
            (std::vector<std::string>{"语文|数学|英语|物理|化学", "数学|语文|体育|英语|音乐",
                                      "英语|物理|语文|数学|美术", "物理|英语|数学|语文|历史",
                                      "化学|体育|音乐|美术|语文", "体育|化学|历史|地理|数学",
                                      "自习|自习|班会|自习|自习"}));
  EXPECT_EQ(courses("二班"), (std::vector<std::string>{
                                 "数学|语文|英语|化学|物理", "语文|数学|物理|英语|体育",
                                 " | | | | ", " | | | | ", " | | | | ", " | | | | ", " | | | | "}));
}

TEST_F(ImportDialog, OneLineTimeTableSetsPeriodOneOfEveryWeekdayOnly) {
  import(gbkFile("t.csv", {kTimeTableHeader, "1,8,0,8,45"}, "\n"), emptyCourseTable());
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  std::vector<std::string> expected = kUnchangedPeriods;
  for (int weekday = 0; weekday < 5; ++weekday)
    expected[weekday * 7] = "8,0,8,45";
  EXPECT_EQ(periods("一班"), expected);
  EXPECT_EQ(periods("二班"), expected);
  EXPECT_EQ(store_.value("select count(*) from tblkcTime where AutoOn<>0 or AutoOff<>0 or "
                         "ThName<>' '"),
            "0");
}

TEST_F(ImportDialog, OnlyTheFirstSevenTimeLinesCountAndEmptyLinesAreNotPeriods) {
  // The eighth and ninth lines are not read: not even their over-long field refuses the file.
  std::vector<std::string> lines = {kTimeTableHeader, "1,1,1,1,1", "",
                                    "2,2,2,2,2",      "3,3,3,3,3", "",
                                    "4,4,4,4,4",      "5,5,5,5,5", "6,6,6,6,6",
                                    "7,7,7,7,7",      "8,8,8,8,8", "9,123456789012345678901234"};
  import(gbkFile("t.csv", lines), emptyCourseTable());
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  std::vector<std::string> expected;
  for (int weekday = 0; weekday < 5; ++weekday) {
    for (int period = 1; period <= 7; ++period) {
      std::string n = std::to_string(period);
      expected.push_back(n + "," + n + "," + n + "," + n);
    }
  }
  EXPECT_EQ(periods("二班"), expected);
}

TEST_F(ImportDialog, CourseLinesForAClassWithoutRowsCreateItsSevenRows) {
  import(emptyTimeTable(), gbkFile("c.csv", {kCourseTableHeader, "一班,语文,数学,英语,物理,化学"}));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  EXPECT_EQ(courses("一班"),
            (std::vector<std::string>{"语文|数学|英语|物理|化学", " | | | | ", " | | | | ",
                                      " | | | | ", " | | | | ", " | | | | ", " | | | | "}));
  EXPECT_TRUE(courses("二班").empty());
  EXPECT_EQ(periods("一班"), kUnchangedPeriods);
}

TEST_F(ImportDialog, FilesSavedAsUtf8WithAByteOrderMarkAreReadAsUtf8) {
  import(rawFile("t.csv", "\xEF\xBB\xBFTime,StartH,StartM,EndH,EndM\r\n1,8,0,8,45\r\n"),
         rawFile("c.csv", "\xEF\xBB\xBF" + std::string(kCourseTableHeader) +
                              "\r\n一班,语文,数学,英语,物理,化学\r\n"));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  EXPECT_EQ(courses("一班")[0], "语文|数学|英语|物理|化学");
  EXPECT_EQ(periods("一班")[0], "8,0,8,45");
}

TEST_F(ImportDialog, ConsecutiveLinesOfAClassFillItsRowsAndAChangeOfClassStartsOver) {
  import(emptyTimeTable(),
         gbkFile("c.csv", {kCourseTableHeader, "一班,a1,a1,a1,a1,a1", "一班,a2,a2,a2,a2,a2",
                           "二班,b1,b1,b1,b1,b1", "一班,a3,a3,a3,a3,a3", "未知班,x,x,x,x,x"}));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  std::vector<std::string> a = courses("一班");
  ASSERT_EQ(a.size(), 7u);
  EXPECT_EQ(a[0], "a3|a3|a3|a3|a3");
  EXPECT_EQ(a[1], "a2|a2|a2|a2|a2");
  EXPECT_EQ(a[2], " | | | | ");
  EXPECT_EQ(courses("二班")[0], "b1|b1|b1|b1|b1");
  EXPECT_TRUE(courses("未知班").empty());  // not a class: skipped without a word

  // The eighth consecutive line of one class wraps around to row 1.
  std::vector<std::string> eight = {kCourseTableHeader};
  for (int line = 1; line <= 8; ++line)
    eight.push_back("二班,c" + std::to_string(line) + ",,,,");
  import(emptyTimeTable(), gbkFile("c8.csv", eight));
  std::vector<std::string> b = courses("二班");
  ASSERT_EQ(b.size(), 7u);
  EXPECT_EQ(b[0], "c8||||");
  EXPECT_EQ(b[6], "c7||||");
}

TEST_F(ImportDialog, ShortLinesGetEmptyFieldsAndFurtherFieldsAreIgnored) {
  import(gbkFile("t.csv", {kTimeTableHeader, "1,9,5,9", "2,10,0,10,45,extra"}),
         gbkFile("c.csv", {kCourseTableHeader, "一班,语文,数学,英语,物理,化学",
                           "一班,1,2,3,4",        // four commas
                           "一班,1,2,3,4,5,6,7",  // six and more commas
                           "一班", "一班,\"语文\",it's,'美术',\"\",\"a,b\""}));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
  EXPECT_EQ(periods("一班")[0], "9,5,9,");
  EXPECT_EQ(periods("一班")[1], "10,0,10,45");
  EXPECT_EQ(courses("一班"),
            (std::vector<std::string>{"语文|数学|英语|物理|化学", "1|2|3|4|", "1|2|3|4|5", "||||",
                                      // Quotes are part of the texts; the comma still separates.
                                      "\"语文\"|it's|'美术'|\"\"|\"a", " | | | | ", " | | | | "}));
}

// The two files are one import: a faulty one keeps the other from being written as well.
TEST_F(ImportDialog, FaultyFilesAreRefusedWholeAndNeitherFileIsWritten) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* detailPart;
  } cases[] = {
      {"trailing blank", "Time,StartH,StartM,EndH,EndM \r\n1,8,0,8,45\r\n", "第 1 行"},
      {"mark, then not UTF-8",
       "\xEF\xBB\xBFTime,StartH,StartM,EndH,EndM\r\n1,8,0,8,45\r\n2,\xD5\xC5,0,9,0\r\n", "第 3 行"},
      {"other case", "time,StartH,StartM,EndH,EndM\r\n1,8,0,8,45\r\n", "第 1 行"},
      {"empty file", "", ""},
      {"field of 24",
       "Time,StartH,StartM,EndH,EndM\r\n1,8,0,8,45\r\n2,123456789012345678901234,0,9,0\r\n",
       "第 3 行第 2 项"},
      {"not GBK", "Time,StartH,StartM,EndH,EndM\r\n1,8,0,8,45\r\n2,\xFF\xFF,0,9,0\r\n", "第 3 行"},
  };
  for (const Case& c : cases) {
    messages_.clear();
    import(rawFile("t.csv", c.bytes), SampleFile("course_table.csv"));
    ASSERT_EQ(messages_.texts(), (std::vector<std::string>{"文件错误!", "导入失败!"})) << c.name;
    EXPECT_NE(messages_.messages()[0].detail.find(c.detailPart), std::string::npos)
        << c.name << ": " << messages_.messages()[0].detail;
    EXPECT_EQ(periods("一班"), kUnchangedPeriods) << c.name;
    EXPECT_TRUE(courses("一班").empty()) << c.name << ": the course table was written";
    expectReadyForMore();
  }

  // A course table is refused the same way; 23 characters are still a field.
  store_.addClass("三班");
  messages_.clear();
  std::string twentyThree = "一二三四五六七八九十一二三四五六七八九十一二三";
  import(emptyTimeTable(), gbkFile("c.csv", {kCourseTableHeader, "三班," + twentyThree + ",a,b,c,d",
                                             "三班,x,y,z,w," + twentyThree + "四"}));
  ASSERT_EQ(messages_.texts(), (std::vector<std::string>{"文件错误!", "导入失败!"}));
  EXPECT_NE(messages_.messages()[0].detail.find("第 3 行第 6 项"), std::string::npos);
  EXPECT_TRUE(courses("三班").empty());

  import(emptyTimeTable(),
         gbkFile("c.csv", {kCourseTableHeader, "二班," + twentyThree + ",a,b,c,d"}));
  EXPECT_EQ(messages_.texts().back(), "导入成功!");
  EXPECT_EQ(courses("二班")[0], twentyThree + "|a|b|c|d");
}

TEST_F(ImportDialog, MissingFileFailsWithoutAMessageOfItsOwnAndTheNextImportStartsAfresh) {
  import(folder_.filePath("absent.csv").toStdString(), SampleFile("course_table.csv"));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入失败!"});
  EXPECT_NE(messages_.messages()[0].detail.find("absent.csv"), std::string::npos);
  EXPECT_TRUE(courses("一班").empty());
  expectReadyForMore();

  messages_.clear();
  import(SampleFile("time_table.csv"), emptyCourseTable());
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功!"});
}

TEST_F(ImportDialog, AnEmptyPathDoesNothing) {
  import(SampleFile("time_table.csv"), "");
  import("", SampleFile("course_table.csv"));
  EXPECT_TRUE(messages_.texts().empty());
  EXPECT_EQ(periods("一班"), kUnchangedPeriods);
  EXPECT_TRUE(courses("一班").empty());
}

TEST_F(ImportDialog, DatabaseErrorEndsTheImportWritingNothing) {
  // A class with three periods only: applying period 4 reads past its last row.
  store_.exec(
      "Insert into tblbj (Name) Values ('三班');"
      "Insert into tblkcTime (BJName, Week) Values ('三班','星期一'),('三班','星期一'),"
      "('三班','星期一')");
  std::string timeTable = gbkFile(
      "t.csv", {kTimeTableHeader, "1,1,1,1,1", "2,2,2,2,2", "3,3,3,3,3", "4,4,4,4,4", "5,5,5,5,5"});
  import(timeTable, SampleFile("course_table.csv"));
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入失败!"});
  expectReadyForMore();
  EXPECT_EQ(periods("三班"), (std::vector<std::string>{" , , , ", " , , , ", " , , , "}));
  EXPECT_EQ(periods("一班"), kUnchangedPeriods);
  EXPECT_TRUE(courses("一班").empty());
}

TEST_F(ImportDialog, FailedStatementEndsTheImportWritingNothing) {
  store_.exec(
      "CREATE TRIGGER refuse BEFORE UPDATE ON tblkc WHEN NEW.Monday='boom' "
      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  import(emptyTimeTable(), gbkFile("c.csv", {kCourseTableHeader, "一班,ok,ok,ok,ok,ok",
                                             "一班,boom,x,x,x,x", "一班,never,x,x,x,x"}));
  EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"refused", "导入失败!"}));
  EXPECT_TRUE(courses("一班").empty());
}

TEST_F(ImportDialog, BrowseButtonsFillThePathFields) {
  WhenModal<QDialog>([](QDialog& chooser) {
    auto* files = qobject_cast<QFileDialog*>(&chooser);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->nameFilters(), QStringList{"CSV File (*.csv)"});
    files->selectFile(QString::fromStdString(SampleFile("time_table.csv")));
    chooser.accept();  // the dialog's own accept: as if "Open" was pressed
  });
  Find<QPushButton>(dialog_, "1030").click();
  EXPECT_EQ(Find<QLineEdit>(dialog_, "1055").text().toStdString(), SampleFile("time_table.csv"));

  Find<QLineEdit>(dialog_, "1077").setText("typed.csv");
  WhenModal<QDialog>([](QDialog& chooser) { chooser.reject(); });
  Find<QPushButton>(dialog_, "1031").click();
  EXPECT_EQ(Find<QLineEdit>(dialog_, "1077").text(), "typed.csv");
}

}  // namespace
}  // namespace brenlow
