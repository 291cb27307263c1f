#include "core/shown_text.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

TEST(ShownText, EscapesControlsAndReplacesUndecodableBytes) {
  const struct {
    std::string bytes, shown;
  } cases[] = {
      {"plain 张老师\t(12)", "plain 张老师\t(12)"},  // tab and text stay
      {"\x1b[2J\x1b]0;x\x07", "\\x1b[2J\\x1b]0;x\\x07"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"\x7f", "\\x7f"},
      {"\xc2\x9b"
       "31m",
       "\\x9b31m"},                                              // C1 CSI as UTF-8
      {"\xc2\xa0", "\xc2\xa0"},                                  // U+00A0 is no control
      {"\xd5\xc5", "\xef\xbf\xbd\xef\xbf\xbd"},                  // GBK 张: not UTF-8
      {"\x9b", "\xef\xbf\xbd"},                                  // a lone C1 byte is no character
      {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},                  // overlong
      {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // surrogate
      {"\xe5\xbc", "\xef\xbf\xbd\xef\xbf\xbd"},                  // cut short
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownText(c.bytes), c.shown) << c.bytes;
    EXPECT_TRUE(IsValidUtf8(ShownText(c.bytes)));
  }
}

TEST(ShownText, ValidUtf8KeepsControlsForJson) {
  EXPECT_EQ(ValidUtf8("\x1b\xd5\xc5张"), "\x1b\xef\xbf\xbd\xef\xbf\xbd张");
  EXPECT_TRUE(IsValidUtf8("张老师 \x1b"));
  EXPECT_FALSE(IsValidUtf8("\xd5\xc5"));
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));  // beyond U+10FFFF
}

}  // namespace
}  // namespace brenlow
