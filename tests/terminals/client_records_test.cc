#include "terminals/client_records.h"

#include <gtest/gtest.h>

#include "net/wire_text.h"
#include "support/loopback_port.h"

namespace brenlow {
namespace {

using testing::Le;

// A request laid out by hand: header of the kind, the row index, texts at their offsets.
std::string Laid(size_t size, int32_t kind, int32_t row,
                 std::initializer_list<std::pair<size_t, std::u16string>> texts) {
  std::string bytes(size, '\0');
  PutInt32Le(bytes, 96, kind);
  PutInt32Le(bytes, 100, row);
  for (const auto& [offset, text] : texts)
    bytes.replace(offset, text.size() * 2, Le(text));
  return bytes;
}

TEST(ClientRecords, PeriodEditRequestReadsEveryFieldFromItsOffset) {
  std::string bytes = Laid(264, 2, 1,
                           {{104, u"初二年级甲"},
                            {144, u"8"},
                            {150, u"05"},
                            {156, u"8"},
                            {162, u"50"},
                            {168, u"O'Neil(7)"},
                            {248, u"星期三"}});
  PutInt32Le(bytes, 256, 1);
  PutInt32Le(bytes, 260, 0);
  PeriodEditRequest edit = ParsePeriodEditRequest(bytes);
  EXPECT_EQ(edit.row, 1);
  EXPECT_EQ(edit.bjName, "初二年级甲");
  EXPECT_EQ(edit.startH + "|" + edit.startM + "|" + edit.endH + "|" + edit.endM, "8|05|8|50");
  EXPECT_EQ(edit.thName, "O'Neil(7)");
  EXPECT_EQ(edit.week, "星期三");
  EXPECT_EQ(edit.autoOn, 1);
  EXPECT_EQ(edit.autoOff, 0);
  EXPECT_EQ(PeriodEditRequestBytes(edit), bytes);
}

TEST(ClientRecords, ATextWithoutItsTerminatorEndsAtTheFieldsEnd) {
  // Every field filled to the brim: BJName 20, StartH 3 and ThName 40 characters, no zero.
  std::string bytes = Laid(264, 2, -1,
                           {{104, std::u16string(20, u'B')},
                            {144, u"123"},
                            {150, u"45"},
                            {168, std::u16string(40, u'T')},
                            {248, u"星期三四"}});
  PeriodEditRequest edit = ParsePeriodEditRequest(bytes);
  EXPECT_EQ(edit.row, -1);
  EXPECT_EQ(edit.bjName, std::string(20, 'B'));
  EXPECT_EQ(edit.startH, "123");
  EXPECT_EQ(edit.startM, "45");
  EXPECT_EQ(edit.thName, std::string(40, 'T'));
  EXPECT_EQ(edit.week, "星期三四");
}

TEST(ClientRecords, CourseEditRequestReadsEveryDayFromItsOffset) {
  std::string bytes = Laid(644, 3, 6,
                           {{104, u"Other"},
                            {144, u"语文"},
                            {244, u"数学"},
                            {344, u"It's"},
                            {444, std::u16string(50, u'x')},
                            {544, u"体育"}});
  CourseEditRequest edit = ParseCourseEditRequest(bytes);
  EXPECT_EQ(edit.row, 6);
  EXPECT_EQ(edit.bjName, "Other");
  EXPECT_EQ(edit.days[0], "语文");
  EXPECT_EQ(edit.days[1], "数学");
  EXPECT_EQ(edit.days[2], "It's");
  EXPECT_EQ(edit.days[3], std::string(50, 'x'));
  EXPECT_EQ(edit.days[4], "体育");
}

TEST(ClientRecords, TeacherRecordAndEndRecord) {
  EXPECT_EQ(TeacherNameRecordBytes("张老师(12)"), Le(u"张老师(12)") + std::string(66, '\0'));
  EXPECT_EQ(TeacherNameRecordBytes(std::string(45, 'n')).substr(0, 80),
            Le(std::u16string(39, u'n')) + std::string(2, '\0'));
  EXPECT_EQ(EndRecordBytes(), Le(u"close") + std::string(30, '\0'));
}

TEST(ClientRecords, RequestSizeByKind) {
  EXPECT_EQ(ClientRequestSize(1), 100u);
  EXPECT_EQ(ClientRequestSize(2), 264u);
  EXPECT_EQ(ClientRequestSize(3), 644u);
  EXPECT_EQ(ClientRequestSize(0), 0u);
  EXPECT_EQ(ClientRequestSize(4), 0u);
}

}  // namespace
}  // namespace brenlow
