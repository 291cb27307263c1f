#include "weekday_words.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/weekdays.h"

namespace brenlow::admin {

std::optional<int> SchoolWeekdayIndex(const std::string& word) {
  static constexpr std::array<const char*, 5> kEnglish = {"monday", "tuesday", "wednesday",
                                                          "thursday", "friday"};
  std::string lower = word;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (int day = 0; day < 5; ++day) {
    const auto index = static_cast<size_t>(day);
    if (word == kSchoolWeekdays[index] || lower == kEnglish[index] ||
        word == std::to_string(day + 1))
      return day;
  }
  return std::nullopt;
}

std::string WeekdayRefusal(const std::string& word) {
  return "WEEKDAY expects 星期一..星期五, 1..5 or monday..friday, not " + word;
}

}  // namespace brenlow::admin
