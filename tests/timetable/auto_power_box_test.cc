#include "timetable/auto_power_box.h"

#include <gtest/gtest.h>

namespace brenlow {
namespace {

TEST(AutoPowerBox, AnOtherValueIsKeptUntilTheUserClicks) {
  AutoPowerBox box;
  const std::pair<int, Qt::CheckState> shown[] = {
      {0, Qt::Unchecked}, {1, Qt::Checked}, {2, Qt::PartiallyChecked}, {-5, Qt::PartiallyChecked}};
  for (const auto& [value, state] : shown) {
    box.setStoredValue(value);
    EXPECT_EQ(box.checkState(), state) << value;
    EXPECT_EQ(box.storedValue(), value);
  }
  // -5 is shown: clicks go to checked, unchecked, checked; the other value does not return.
  const int afterClicks[] = {1, 0, 1, 0};
  for (int expected : afterClicks) {
    box.click();
    EXPECT_EQ(box.storedValue(), expected);
    EXPECT_NE(box.checkState(), Qt::PartiallyChecked);
  }
  box.setStoredValue(1);
  EXPECT_FALSE(box.isTristate());
}

}  // namespace
}  // namespace brenlow
