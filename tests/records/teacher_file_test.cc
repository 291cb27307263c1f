#include "records/teacher_file.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

TEST(TeacherFile, NumberIsBeforeTheFirstCommaAndTheNameIsAllAfterIt) {
  TeacherFileContent content =
      ParseTeacherFile({"Numb,Name", "", "12", "12,A", "13, B ", "14,A,B", ",", "15,"});
  ASSERT_TRUE(content.headerOk);
  std::vector<std::string> rows;
  for (const TeacherFileRow& row : content.teachers) {
    rows.push_back(std::to_string(row.lineNumber) + ":" + row.number + "|" + row.name);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"4:12|A", "5:13| B ", "6:14|A,B", "7:|", "8:15|"}));
  EXPECT_TRUE(content.refusedLines.empty());
}

TEST(TeacherFile, FieldsOfMoreThan23CharactersRefuseTheirLine) {
  std::string chinese23;
  for (int i = 0; i < 23; ++i)
    chinese23 += "张";  // 23 characters, 69 bytes
  TeacherFileContent content =
      ParseTeacherFile({"Numb,Name", "1," + chinese23, "2," + chinese23 + "张",
                        std::string(24, '9') + ",x", std::string(23, '9') + ",x"});
  EXPECT_EQ(content.refusedLines, (std::vector<int>{3, 4}));
  ASSERT_EQ(content.teachers.size(), 2u);
  EXPECT_EQ(content.teachers[1].number, std::string(23, '9'));
}

TEST(TeacherFile, HeaderMustMatchExactly) {
  for (const std::vector<std::string>& lines : std::vector<std::vector<std::string>>{
           {}, {"numb,name", "1,a"}, {"Numb,Name ", "1,a"}, {"Numb;Name"}}) {
    TeacherFileContent content = ParseTeacherFile(lines);
    EXPECT_FALSE(content.headerOk);
    EXPECT_TRUE(content.teachers.empty());
  }
}

TEST(TeacherFile, ExportLinesAreHeaderThenNumberCommaName) {
  EXPECT_EQ(TeacherFileLines({{"12", "A"}, {"13", "B,C"}}),
            (std::vector<std::string>{"Numb,Name", "12,A", "13,B,C"}));
}

}  // namespace
}  // namespace brenlow
