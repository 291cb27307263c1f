#include "terminals/terminal_records.h"

#include <gtest/gtest.h>

#include "support/loopback_port.h"

namespace brenlow {
namespace {

using testing::Le;

// A record laid out by hand: zero bytes with texts placed at their offsets.
std::string Laid(size_t size, std::initializer_list<std::pair<size_t, std::u16string>> fields) {
  std::string bytes(size, '\0');
  for (const auto& [offset, text] : fields)
    bytes.replace(offset, text.size() * 2, Le(text));
  return bytes;
}

TEST(TerminalRecords, PeriodRecordPlacesEveryFieldAtItsOffset) {
  PeriodRecord period{"8", "05", "8", "50", "1", "0", "星期三", "张老师(1207)"};
  EXPECT_EQ(PeriodRecordBytes(period), Laid(120, {{0, u"8"},
                                                  {6, u"05"},
                                                  {12, u"8"},
                                                  {18, u"50"},
                                                  {24, u"1"},
                                                  {28, u"0"},
                                                  {32, u"星期三"},
                                                  {40, u"张老师(1207)"}}));
  EXPECT_EQ(ParsePeriodRecord(PeriodRecordBytes(period)).thName, "张老师(1207)");
}

TEST(TerminalRecords, OverlongTextsAreCutToTheirRoom) {
  // Room: times 2, flags 1, weekday 3, teacher 39 characters; the terminator always fits.
  PeriodRecord period{"123", "4567", "", " ", "10", "-1", "星期三四", std::string(45, 'T')};
  EXPECT_EQ(PeriodRecordBytes(period), Laid(120, {{0, u"12"},
                                                  {6, u"45"},
                                                  {18, u" "},
                                                  {24, u"1"},
                                                  {28, u"-"},
                                                  {32, u"星期三"},
                                                  {40, std::u16string(39, u'T')}}));

  CourseRecord courses;
  courses.days[0] = std::string(30, 'c');  // the field has room for 49, terminals for 19
  courses.days[4] = "体育";
  EXPECT_EQ(CourseRecordBytes(courses), Laid(500, {{0, std::u16string(19, u'c')}, {400, u"体育"}}));

  EXPECT_EQ(PasswordRecordBytes(std::string(25, 'p')), Laid(40, {{0, std::u16string(19, u'p')}}));
  EXPECT_EQ(ClassNameReplyBytes(std::string(25, 'n')), Le(std::u16string(19, u'n')));
}

TEST(TerminalRecords, ACutNeverSplitsACharacterOutsideTheBasicPlane) {
  // U+1F600 takes two code units; at the 19th unit it no longer fits and is left out whole.
  std::string name = std::string(18, 'a') + "\xF0\x9F\x98\x80";
  EXPECT_EQ(ClassNameReplyBytes(name), Le(std::u16string(18, u'a')));
  EXPECT_EQ(ClassNameReplyBytes("a\xF0\x9F\x98\x80"), Le(u"a\U0001F600"));
}

}  // namespace
}  // namespace brenlow
