#include "dialogs/teacher_info_import.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QFileDialog>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialogs/add_th_mes_dlg.h"
#include "dialogs/th_mes_dlg.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::Press;
using testing::SetText;
using testing::WhenModal;

class TeacherFileTest : public ::testing::Test {
 protected:
  std::string file(const std::string& name, const std::string& bytes) const {
    std::string path = db_.folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string bytesOf(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> teachers() const {
    return db_.column("select Numb||'|'||Name||'|'||NameNumb from tblThMes order by ID");
  }
  // Imports each path in turn in one visit of the import dialog (typed into edit 1011) and
  // gives the result messages.
  std::vector<Message> importInOneVisit(CTHMesDlg& list, const std::vector<std::string>& paths) {
    WhenModal<CTeacherInfoImport>([&](CTeacherInfoImport& import) {
      EXPECT_EQ(import.windowTitle(), "导入老师信息");
      for (const std::string& path : paths) {
        SetText(import, "1011", QString::fromStdString(path));
        Press(import, "1");
      }
      import.reject();  // the close box
    });
    messages_.clear();
    Press(list, "6");
    return messages_.messages();
  }
  static void ChooseInFileDialog(const std::string& path) {
    WhenModal<QFileDialog>([path](QFileDialog& dialog) {
      EXPECT_EQ(dialog.nameFilters(), QStringList{"CSV File (*.csv)"});
      EXPECT_EQ(dialog.defaultSuffix(), "csv");
      dialog.selectFile(QString::fromStdString(path));
      static_cast<QDialog&>(dialog).accept();  // as its open button does
    });
  }

  testing::TempDatabase db_;
  testing::RecordingMessages messages_;
};

TEST_F(TeacherFileTest, ImportInsertsNewTeachersAndASecondImportSkipsThem) {
  db_.addTeacher("13", "Old");
  std::string path = file("t.csv", "Numb,Name\r\n12,A\r\n13,B\r\n14, C\n");
  CTHMesDlg list(db_.store());
  std::vector<Message> results = importInOneVisit(list, {path, path});
  ASSERT_EQ(results.size(), 2u);
  for (const Message& result : results) {
    EXPECT_EQ(result.text, "导入成功！");
    EXPECT_EQ(result.caption, kApplicationTitle);
    EXPECT_EQ(result.buttons, MessageButtons::kOk);
  }
  // The details say what was written and each line skipped.
  EXPECT_EQ(results[0].detail, "按 GBK 读取\n已写入 2 位老师\n第 3 行：工号 \"13\" 已存在，已跳过");
  EXPECT_EQ(
      results[1].detail,
      "按 GBK 读取\n已写入 0 位老师\n第 2 行：工号 \"12\" 已存在，已跳过\n第 3 行：工号 \"13\" "
      "已存在，已跳过\n第 4 行：工号 \"14\" 已存在，已跳过");
  // Existing numbers keep their names; the blank after the comma stays part of the name.
  EXPECT_EQ(teachers(), (std::vector<std::string>{"13|Old|Old(13)", "12|A|A(12)", "14| C| C(14)"}));
  EXPECT_EQ(list.list().rowCount(), 3) << "the list is reloaded after the import dialog";
}

TEST_F(TeacherFileTest, BrowseFillsThePathFromTheFileDialog) {
  std::string path = file("chosen.csv", "Numb,Name\r\n12,A\r\n");
  CTeacherInfoImport import(db_.store());
  ChooseInFileDialog(path);
  Press(import, "1005");
  EXPECT_EQ(Find<QLineEdit>(import, "1011").text().toStdString(), path);
  Press(import, "1");
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"导入成功！"});
  EXPECT_EQ(teachers(), std::vector<std::string>{"12|A|A(12)"});
}

TEST_F(TeacherFileTest, WrongHeaderImportsNothingAndAGoodFileAfterItSucceeds) {
  std::string wrong = file("wrong.csv", "numb,name\r\n12,A\r\n");
  std::string good = file("good.csv", "Numb,Name\r\n12,A\r\n");
  CTHMesDlg list(db_.store());
  std::vector<Message> results = importInOneVisit(list, {wrong, good});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].text, "导入失败！");
  EXPECT_NE(results[0].detail.find("Numb,Name"), std::string::npos);
  EXPECT_EQ(results[1].text, "导入成功！");
  EXPECT_EQ(teachers(), std::vector<std::string>{"12|A|A(12)"});
}

TEST_F(TeacherFileTest, UnreadableFilesImportNothing) {
  std::string missing = db_.folder() + "/missing.csv";
  std::string notGbk = file("utf8.csv", "Numb,Name\r\n12,A\r\n13,\xFF\xFE\r\n");
  std::string empty = file("empty.csv", "");
  CTHMesDlg list(db_.store());
  std::vector<Message> results = importInOneVisit(list, {missing, notGbk, empty});
  ASSERT_EQ(results.size(), 3u);
  for (const Message& result : results)
    EXPECT_EQ(result.text, "导入失败！");
  EXPECT_NE(results[1].detail.find("第 3 行"), std::string::npos) << results[1].detail;
  EXPECT_TRUE(teachers().empty()) << "a file that is not GBK is refused whole";
}

TEST_F(TeacherFileTest, LinesWithoutACommaAndOverlongFieldsAreSkippedAndReported) {
  std::string name23(23, 'n');
  std::string path =
      file("t.csv", "Numb,Name\r\n\r\nno comma\r\n12,A,B\r\n" + std::string(24, '1') + ",X\r\n13," +
                        name23 + "\r\n14," + name23 + "n\r\n15,C\r\n");
  CTHMesDlg list(db_.store());
  std::vector<Message> results = importInOneVisit(list, {path});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].text, "导入成功！");
  EXPECT_EQ(results[0].detail,
            "按 GBK 读取\n已写入 3 位老师\n第 3 行：没有逗号，不是“工号,姓名”，已跳过\n"
            "第 5 行：工号或姓名多于 23 个字符，已跳过\n第 7 行：工号或姓名多于 23 个字符，已跳过");
  EXPECT_EQ(teachers(),
            (std::vector<std::string>{"12|A,B|A,B(12)", "13|" + name23 + "|" + name23 + "(13)",
                                      "15|C|C(15)"}));
}

TEST_F(TeacherFileTest, ExportWritesTheListAsGbkAndImportsBackInListOrder) {
  db_.addTeacher("12", "张三");
  db_.addTeacher("3", "O'Neil,Jr");
  std::string path = db_.folder() + "/export.csv";
  {
    CTHMesDlg list(db_.store());
    WhenModal<CAddThMesDlg>([](CAddThMesDlg& add) {  // shown in the list, not yet reloaded
      SetText(add, "1006", "7");
      SetText(add, "1003", "李•四");
      Press(add, "1");
      Press(add, "2");
    });
    Press(list, "3");
    ChooseInFileDialog(path);
    Press(list, "7");
  }
  ASSERT_EQ(messages_.texts(), std::vector<std::string>{"导出成功"});
  EXPECT_NE(messages_.messages()[0].detail.find("GB18030"), std::string::npos);
  EXPECT_EQ(
      bytesOf(path),
      "Numb,Name\r\n12,\xD5\xC5\xC8\xFD\r\n3,O'Neil,Jr\r\n7,\xC0\xEE\x81\x36\xA6\x31\xCB\xC4\r\n");

  std::vector<std::string> before = teachers();
  db_.exec("delete from tblThMes");
  CTHMesDlg list(db_.store());
  std::vector<Message> results = importInOneVisit(list, {path});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].text, "导入成功！");
  EXPECT_EQ(teachers(), before);
}

TEST_F(TeacherFileTest, CancelledOrImpossibleExportWritesNothingAndSaysNothing) {
  db_.addTeacher("12", "A");
  CTHMesDlg list(db_.store());
  WhenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
  Press(list, "7");
  ChooseInFileDialog(db_.folder() + "/no/such/folder/x.csv");
  Press(list, "7");
  EXPECT_TRUE(messages_.texts().empty());
}

}  // namespace
}  // namespace brenlow
