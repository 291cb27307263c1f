#include "data/record_set.h"

#include <gtest/gtest.h>

#include <functional>

#include "data/database_error.h"

namespace brenlow {
namespace {

uint32_t ErrorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const DatabaseError& error) {
    return error.code();
  }
  return 0;
}

TEST(RecordSet, ColumnsReadInAnyOrderAndCaseFromEveryRow) {
  RecordSet::Builder builder({"ID", "Name", "Week", "AutoOn"});
  builder.addInteger(7);
  builder.addText("一班");
  builder.addNull();
  builder.addInteger(-1);
  builder.addInteger(12);
  builder.addText("");
  builder.addText("星期三");
  builder.addInteger(0);
  RecordSet rows = builder.finish();
  ASSERT_EQ(rows.rowCount(), 2u);

  EXPECT_EQ(rows.fieldText("AutoOn"), "-1");
  EXPECT_EQ(rows.fieldText("name"), "一班");
  EXPECT_EQ(rows.fieldText("ID"), "7");
  EXPECT_EQ(rows.fieldText("AUTOON"), "-1");
  EXPECT_EQ(ErrorOf([&] { rows.fieldText("Week"); }), kTypeMismatchCode);
  EXPECT_EQ(ErrorOf([&] { rows.fieldText("Wee"); }), kNoSuchColumnCode);
  rows.moveNext();
  EXPECT_EQ(rows.fieldText("Week"), "星期三");
  EXPECT_EQ(rows.fieldText("Name"), "");
  EXPECT_EQ(rows.fieldText("ID"), "12");
  rows.moveNext();
  EXPECT_TRUE(rows.isEof());
  EXPECT_EQ(ErrorOf([&] { rows.fieldText("ID"); }), kNoCurrentRowCode);
}

TEST(RecordSet, RowsHandedOverWholeReadTheSame) {
  RecordSet rows({"a", "b"},
                 {{std::string("1"), std::nullopt}, {std::string("x"), std::string("y")}});
  EXPECT_EQ(rows.rowCount(), 2u);
  EXPECT_EQ(ErrorOf([&] { rows.fieldText("b"); }), kTypeMismatchCode);
  rows.moveNext();
  EXPECT_EQ(rows.fieldText("b"), "y");
  rows.close();
  EXPECT_EQ(ErrorOf([&] { rows.isEof(); }), kInvalidHandleCode);
}

}  // namespace
}  // namespace brenlow
