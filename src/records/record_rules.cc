#include "records/record_rules.h"

#include <algorithm>
#include <cctype>

#include "records/text_characters.h"

namespace brenlow {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

bool IsDottedIpv4(std::string_view text) {
  int parts = 0;
  size_t i = 0;
  while (parts < 4) {
    size_t digits = 0;
    int value = 0;
    while (i < text.size() && IsDigit(text[i]) && digits < 4) {
      value = value * 10 + (text[i] - '0');
      ++digits;
      ++i;
    }
    if (digits == 0 || digits > 3 || value > 255)
      return false;
    if (++parts < 4) {
      if (i >= text.size() || text[i] != '.')
        return false;
      ++i;
    }
  }
  return i == text.size();
}

bool IsHardwareAddress(std::string_view text) {
  if (text.size() != 17)
    return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool separator = i % 3 == 2;
    if (separator ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
      return false;
  }
  return true;
}

bool IsCardNumber(std::string_view text) {
  int parts = 0;
  size_t i = 0;
  while (i <= text.size()) {
    const size_t end = std::min(text.find('-', i), text.size());
    std::string_view part = text.substr(i, end - i);
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0'))
      return false;
    int value = 0;
    for (char c : part) {
      if (!IsDigit(c))
        return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255 || ++parts > 4)
      return false;
    i = end + 1;
  }
  return parts == 4;
}

std::string ClassNameProblem(std::string_view name) {
  if (name.empty())
    return "请输入班级名!";
  // The full-width blank (U+3000) counts too: a Chinese input method types it.
  const bool blankAtEnd = IsBlank(name.front()) || IsBlank(name.back()) ||
                          name.starts_with("\u3000") || name.ends_with("\u3000");
  if (blankAtEnd)
    return "班级名前后不能有空格";
  if (Utf16Length(name) > kShellClassNameUnits)
    return "班级名多于 " + std::to_string(kShellClassNameUnits) + " 个字符（终端只收到 " +
           std::to_string(kShellClassNameUnits) + " 个）";
  return std::string();
}

}  // namespace brenlow
