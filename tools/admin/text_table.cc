#include "text_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "core/shown_text.h"

namespace brenlow::admin {
namespace {

// Code point ranges two columns wide: East Asian Wide and Fullwidth.
constexpr std::array<std::pair<char32_t, char32_t>, 17> kWide = {{
    {0x1100, 0x115F},    // Hangul Jamo initials
    {0x231A, 0x231B},    // watch, hourglass
    {0x2E80, 0x303E},    // CJK radicals, ideographic description, CJK symbols and punctuation
    {0x3041, 0x33FF},    // kana, bopomofo, Hangul compatibility, CJK compatibility
    {0x3400, 0x4DBF},    // CJK extension A
    {0x4E00, 0x9FFF},    // CJK unified ideographs
    {0xA000, 0xA4CF},    // Yi
    {0xA960, 0xA97F},    // Hangul Jamo extended A
    {0xAC00, 0xD7A3},    // Hangul syllables
    {0xF900, 0xFAFF},    // CJK compatibility ideographs
    {0xFE10, 0xFE19},    // vertical forms
    {0xFE30, 0xFE6F},    // CJK compatibility forms, small form variants
    {0xFF00, 0xFF60},    // fullwidth forms
    {0xFFE0, 0xFFE6},    // fullwidth signs
    {0x1F300, 0x1F64F},  // pictographs, emoticons
    {0x1F900, 0x1F9FF},  // supplemental pictographs
    {0x20000, 0x3FFFD},  // CJK extensions B and later
}};

// Code point ranges of no width: combining marks and zero-width characters.
constexpr std::array<std::pair<char32_t, char32_t>, 6> kZero = {{
    {0x0300, 0x036F},
    {0x200B, 0x200F},
    {0x20D0, 0x20FF},
    {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F},
    {0xFEFF, 0xFEFF},
}};

template <size_t N>
bool InRanges(char32_t c, const std::array<std::pair<char32_t, char32_t>, N>& ranges) {
  return std::any_of(ranges.begin(), ranges.end(),
                     [c](const auto& range) { return c >= range.first && c <= range.second; });
}

int CodePointWidth(char32_t c) {
  if (InRanges(c, kZero))
    return 0;
  return InRanges(c, kWide) ? 2 : 1;
}

std::string Padded(const std::string& text, int width) {
  return text + std::string(static_cast<size_t>(std::max(0, width - DisplayWidth(text))), ' ');
}

std::string CsvField(const std::string& stored) {
  const std::string text = ShownText(stored);
  if (text.find_first_of(",\"\r\n") == std::string::npos)
    return text;
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"')
      quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace

int DisplayWidth(std::string_view utf8) {
  int width = 0;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    width += CodePointWidth(c);
    i += length;
  }
  return width;
}

void WriteTextTable(std::ostream& out, const TextRow& header, const std::vector<TextRow>& rows) {
  std::vector<int> widths(header.size(), 0);
  auto measure = [&widths](const TextRow& row) {
    for (size_t i = 0; i < row.size() && i < widths.size(); ++i)
      widths[i] = std::max(widths[i], DisplayWidth(row[i]));
  };
  std::vector<TextRow> shown;
  shown.reserve(rows.size());
  for (const TextRow& row : rows) {
    TextRow& cells = shown.emplace_back();
    for (const std::string& cell : row)
      cells.push_back(ShownText(cell));
  }
  measure(header);
  for (const TextRow& row : shown)
    measure(row);
  auto write = [&](const TextRow& row) {
    std::string line;
    for (size_t i = 0; i < widths.size(); ++i) {
      const std::string& cell = i < row.size() ? row[i] : std::string();
      line += i + 1 < widths.size() ? Padded(cell, widths[i]) + "  " : cell;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  };
  write(header);
  for (const TextRow& row : shown)
    write(row);
}

void WriteCsv(std::ostream& out, const TextRow& header, const std::vector<TextRow>& rows) {
  auto write = [&out](const TextRow& row) {
    for (size_t i = 0; i < row.size(); ++i)
      out << (i ? "," : "") << CsvField(row[i]);
    out << '\n';
  };
  write(header);
  for (const TextRow& row : rows)
    write(row);
}

}  // namespace brenlow::admin

namespace brenlow::admin {

void WriteJson(std::ostream& out, const nlohmann::ordered_json& value) {
  out << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

std::string JsonLine(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace brenlow::admin
