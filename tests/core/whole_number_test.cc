#include "core/whole_number.h"

#include <gtest/gtest.h>

#include <optional>

namespace brenlow {
namespace {

TEST(WholeNumber, ReadsWholeNumbersOnly) {
  struct Case {
    const char* text;
    std::optional<int> value;
  };
  const Case cases[] = {{"8", 8},
                        {"08", 8},
                        {" 8 ", 8},
                        {"+8", 8},
                        {"-1", -1},
                        {"0", 0},
                        {" ", std::nullopt},
                        {"", std::nullopt},
                        {"8:00", std::nullopt},
                        {"8.5", std::nullopt},
                        {"x", std::nullopt},
                        {"99999999999", std::nullopt},
                        {"++8", std::nullopt},
                        {"- 8", std::nullopt}};
  for (const Case& c : cases)
    EXPECT_EQ(WholeNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace brenlow
