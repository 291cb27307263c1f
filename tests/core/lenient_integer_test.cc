#include "core/lenient_integer.h"

#include <gtest/gtest.h>

#include <climits>

namespace brenlow {
namespace {

struct Reading {
  const char* text;
  int value;
};

TEST(LenientInteger, ReadsLeadingDigitsAfterBlanksAndASignAndClampsToInt) {
  const Reading readings[] = {
      {"", 0},
      {" ", 0},
      {"abc", 0},
      {"8", 8},
      {" 8", 8},
      {"\t 08", 8},
      {"8:00", 8},
      {"45min", 45},
      {"+7", 7},
      {"-7", -7},
      {"- 7", 0},
      {"+", 0},
      {"2147483647", INT_MAX},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"000000000000000000012", 12},
  };
  for (const Reading& reading : readings)
    EXPECT_EQ(LenientInteger(reading.text), reading.value) << '"' << reading.text << '"';
}

}  // namespace
}  // namespace brenlow
