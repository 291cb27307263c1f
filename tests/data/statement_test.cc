#include "data/statement.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

TEST(Statement, FormatsTextsIntegersAndIdsAsTheTemplateSays) {
  Statement statement = FormatStatement(
      "Update tblkcTime set  StartH='%s', StartM='%s', EndH='%s', EndM='%s',AutoOn=%d,AutoOff=%d "
      ",ThName='%s' where ID=%s",
      "8", "0", "8", "45", 1, 0, "A'B(1)", RowId{"12"});
  EXPECT_EQ(statement.text(),
            "Update tblkcTime set  StartH='8', StartM='0', EndH='8', EndM='45',AutoOn=1,AutoOff=0 "
            ",ThName='A''B(1)' where ID=12");
  EXPECT_EQ(statement.values().size(), 8u);
}

TEST(Statement, PlaceholderJoinedToAKeywordStaysAPlaceholder) {
  Statement statement = FormatStatement(
      "select * from tblkcTime where BJName = '%s'and Week='%s' Order by ID", "A", "星期一");
  EXPECT_EQ(statement.text(),
            "select * from tblkcTime where BJName = 'A'and Week='星期一' Order by ID");
  EXPECT_EQ(statement.shape(), "select * from tblkcTime where BJName = ? and Week=?  Order by ID");
}

TEST(Statement, MismatchedArgumentsAreProgrammingErrors) {
  EXPECT_THROW(FormatStatement("x='%s'", 1), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d", "a"), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d and y=%d", 1), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d", 1, 2), std::logic_error);
  EXPECT_THROW(FormatStatement("ID=%s", "12"), std::logic_error);
}

TEST(Statement, AnIdThatIsNotANumberIsQuotedNotPutBare) {
  EXPECT_EQ(FormatStatement("delete from tblbj where ID=%s", RowId{"1 or 1=1"}).text(),
            "delete from tblbj where ID='1 or 1=1'");
}

}  // namespace
}  // namespace brenlow
