// Times of day as minutes since local midnight, hour * 60 + minute. The hour and minute come
// from stored texts that nothing limits to a clock's range (a terminal or an import may write
// "99999999999"), so the sum is taken in 64 bits: an absurd time compares unequal to every
// real minute instead of overflowing.
#pragma once

namespace brenlow {

constexpr long long MinutesOfDay(long long hour, long long minute) {
  return hour * 60 + minute;
}

}  // namespace brenlow
