#include "records/gbk_text_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace brenlow {
namespace {

// A temporary folder for the files of one test.
class GbkTextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/brenlow-gbk-XXXXXX";
    folder_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string writeBytes(const std::string& bytes) {
    std::string path = folder_ + "/in.csv";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  std::string folder_;
};

// "张三" in GBK is D5 C5 C8 FD; "€" is the single byte 0x80 of code page 936.
TEST_F(GbkTextFileTest, ReadsCrLfAndLfLinesAsUtf8) {
  GbkReadResult result =
      ReadGbkLines(writeBytes("Numb,Name\r\n12,\xD5\xC5\xC8\xFD\n13,\x80\r\n\r\n14,x"));
  ASSERT_EQ(result.status, GbkReadStatus::kOk);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"Numb,Name", "12,张三", "13,€", "", "14,x"}));
  EXPECT_TRUE(result.errorText.empty());
}

TEST_F(GbkTextFileTest, FinalLineEndAddsNoEmptyLineAndLoneCrStaysInTheLine) {
  EXPECT_EQ(ReadGbkLines(writeBytes("a\r\nb\r\n")).lines, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(ReadGbkLines(writeBytes("a\rb\n")).lines, (std::vector<std::string>{"a\rb"}));
  EXPECT_TRUE(ReadGbkLines(writeBytes("")).lines.empty());
}

TEST_F(GbkTextFileTest, UndecodableBytesAreReportedWithLineAndPosition) {
  GbkReadResult result = ReadGbkLines(writeBytes("Numb,Name\r\n12,ab\xFF\xFF\r\n13,c\r\n"));
  EXPECT_EQ(result.status, GbkReadStatus::kUndecodable);
  EXPECT_EQ(result.errorLine, 2);
  EXPECT_EQ(result.errorByte, 6);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"Numb,Name"}));
  EXPECT_NE(result.errorText.find("第 2 行"), std::string::npos) << result.errorText;
  EXPECT_NE(result.errorText.find("0xFF"), std::string::npos) << result.errorText;

  // A lead byte cut off by the line end is just as undecodable.
  EXPECT_EQ(ReadGbkLines(writeBytes("x\xD5\r\n")).status, GbkReadStatus::kUndecodable);
}

TEST_F(GbkTextFileTest, AFileBeginningWithTheUtf8MarkIsReadAsUtf8) {
  GbkReadResult result = ReadGbkLines(writeBytes("\xEF\xBB\xBFNumb,Name\r\n12,张三\n13,𠀀"));
  ASSERT_EQ(result.status, GbkReadStatus::kOk);
  EXPECT_EQ(result.lines, (std::vector<std::string>{"Numb,Name", "12,张三", "13,𠀀"}));

  // After the mark, GBK bytes (and overlong or surrogate forms) are not UTF-8 text.
  for (const char* bad : {"12,\xD5\xC5\xC8\xFD", "12,\xC0\xAF", "12,\xED\xA0\x80", "12,\xE5\xBC"}) {
    result = ReadGbkLines(writeBytes(std::string("\xEF\xBB\xBFNumb,Name\r\n") + bad + "\r\n"));
    EXPECT_EQ(result.status, GbkReadStatus::kUndecodable) << bad;
    EXPECT_EQ(result.errorLine, 2) << bad;
    EXPECT_EQ(result.errorByte, 4) << bad;
    EXPECT_NE(result.errorText.find("UTF-8"), std::string::npos) << result.errorText;
  }
  // The mark anywhere but at the start is a character of a UTF-8 file like any other.
  result = ReadGbkLines(writeBytes("a\r\n\xEF\xBB\xBF"));
  EXPECT_EQ(result.status, GbkReadStatus::kOk);
  EXPECT_EQ(result.encoding, "UTF-8");
  EXPECT_EQ(result.lines, (std::vector<std::string>{"a", "\xEF\xBB\xBF"}));
}

// Without a mark: valid UTF-8 holding text beyond ASCII is UTF-8 (a Linux editor's file); GBK
// names are never valid UTF-8; plain ASCII reads the same either way.
TEST_F(GbkTextFileTest, AFileWithoutTheMarkIsUtf8WhenItIsValidUtf8) {
  const struct {
    std::string bytes, encoding, firstLine;
  } cases[] = {
      {"Numb,Name\n12,张三\n", "UTF-8", "Numb,Name"},
      {"12,\xD5\xC5\xC8\xFD\r\n", "GBK", "12,张三"},
      {"12,abc\r\n", "GBK", "12,abc"},
  };
  for (const auto& c : cases) {
    GbkReadResult result = ReadGbkLines(writeBytes(c.bytes));
    EXPECT_EQ(result.status, GbkReadStatus::kOk) << c.encoding;
    EXPECT_EQ(result.encoding, c.encoding);
    EXPECT_EQ(result.lines.front(), c.firstLine);
  }
}

TEST_F(GbkTextFileTest, MissingFileCannotBeOpened) {
  GbkReadResult result = ReadGbkLines(folder_ + "/missing.csv");
  EXPECT_EQ(result.status, GbkReadStatus::kCannotOpen);
  EXPECT_FALSE(result.errorText.empty());
}

TEST_F(GbkTextFileTest, WritesGbkWithCrLf) {
  std::string path = folder_ + "/out.csv";
  GbkWriteResult result =
      WriteGbkLines(Store(folder_ + "/brenlow.db"), path, {"Numb,Name", "12,张三", "13,€"});
  ASSERT_TRUE(result.ok) << result.errorText;
  EXPECT_EQ(result.gb18030Characters, 0);
  EXPECT_EQ(readBytes(path), "Numb,Name\r\n12,\xD5\xC5\xC8\xFD\r\n13,\x80\r\n");
}

// U+2022 and U+1F600 have no GBK code; GB18030 writes them as 81 36 A6 31 and 94 39 FC 36.
TEST_F(GbkTextFileTest, CharactersOutsideGbkAreWrittenAsGb18030AndReadBack) {
  std::string path = folder_ + "/out.csv";
  std::vector<std::string> lines = {"12,张•三😀"};
  GbkWriteResult result = WriteGbkLines(Store(folder_ + "/brenlow.db"), path, lines);
  ASSERT_TRUE(result.ok) << result.errorText;
  EXPECT_EQ(result.gb18030Characters, 2);
  EXPECT_EQ(readBytes(path), "12,\xD5\xC5\x81\x36\xA6\x31\xC8\xFD\x94\x39\xFC\x36\r\n");
  EXPECT_EQ(ReadGbkLines(path).lines, lines);
}

TEST_F(GbkTextFileTest, WriteOverwritesAndReportsAFolderItCannotWriteIn) {
  std::string path = writeBytes("old content that is longer\r\n");
  ASSERT_TRUE(WriteGbkLines(Store(folder_ + "/brenlow.db"), path, {"a"}).ok);
  EXPECT_EQ(readBytes(path), "a\r\n");

  GbkWriteResult result =
      WriteGbkLines(Store(folder_ + "/brenlow.db"), folder_ + "/no/such/folder.csv", {"a"});
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.errorText.empty());
}

TEST(SplitCsvFields, SplitsAtEveryCommaWithoutQuotingOrTrimming) {
  struct Case {
    std::string line;
    std::vector<std::string> fields;
  };
  for (const Case& c : std::vector<Case>{
           {"", {""}},
           {"abc", {"abc"}},
           {"12, A", {"12", " A"}},
           {"a,", {"a", ""}},
           {",b", {"", "b"}},
           {"a,b,c", {"a", "b", "c"}},
           {"\"a,b\",c", {"\"a", "b\"", "c"}},
           {"星期一,8, 0", {"星期一", "8", " 0"}},
       }) {
    EXPECT_EQ(SplitCsvFields(c.line), c.fields) << c.line;
  }
}

}  // namespace
}  // namespace brenlow
