// How a weekday is named on brenlow-admin's command lines: as the store names it (星期一 ..
// 星期五), by number (1 Monday ... 5 Friday) or in English (monday .. friday, any case).
#pragma once

#include <optional>
#include <string>

namespace brenlow::admin {

// 0 Monday ... 4 Friday, or nullopt.
std::optional<int> SchoolWeekdayIndex(const std::string& word);

// The refusal for a word that names no school weekday.
std::string WeekdayRefusal(const std::string& word);

}  // namespace brenlow::admin
