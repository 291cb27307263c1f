#include "net/wire_text.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

TEST(WireText, MalformedTextBecomesReplacementCharacters) {
  // A lone continuation byte, a cut-off sequence, an over-long encoding and a lone surrogate.
  EXPECT_EQ(Utf8ToUtf16("a\x80"
                        "b"),
            u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xE4\xB8"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xEF\xBF\xBDy");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("星期一 \xF0\x9F\x98\x80")), "星期一 \xF0\x9F\x98\x80");
}

TEST(WireText, NarrowFieldsStopAtTheirZeroOrTheirEnd) {
  std::string record(8, 'x');
  PutNarrowField(record, 2, 4, "abcdef");
  EXPECT_EQ(record, std::string("xxabc\0xx", 8));
  EXPECT_EQ(GetNarrowField(record, 2, 4), "abc");
  EXPECT_EQ(GetNarrowField("abcdefgh", 2, 4), "cdef");
  EXPECT_EQ(GetNarrowField("ab", 2, 4), "");
}

TEST(WireText, IntegersAreLittleEndian) {
  std::string record(4, '\0');
  PutInt32Le(record, 0, -2);
  EXPECT_EQ(record, "\xFE\xFF\xFF\xFF");
  EXPECT_EQ(GetInt32Le("\x01\x02\x00\x00", 0), 0x0201);
}

}  // namespace
}  // namespace brenlow
