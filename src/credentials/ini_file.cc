#include "credentials/ini_file.h"

#include <vector>

#include "credentials/regular_file.h"
#include "credentials/replace_file.h"

namespace brenlow {
namespace {

struct Line {
  std::string_view text;  // without its line end
  std::string_view end;   // "\n", "\r\n" or "" for a last line without one
};

std::vector<Line> SplitLines(std::string_view contents) {
  std::vector<Line> lines;
  while (!contents.empty()) {
    size_t feed = contents.find('\n');
    if (feed == std::string_view::npos) {
      lines.push_back({contents, {}});
      break;
    }
    size_t textEnd = feed > 0 && contents[feed - 1] == '\r' ? feed - 1 : feed;
    lines.push_back({contents.substr(0, textEnd), contents.substr(textEnd, feed + 1 - textEnd)});
    contents.remove_prefix(feed + 1);
  }
  return lines;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

// The name of a section header line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[')
    return std::nullopt;
  line.remove_prefix(1);
  size_t close = line.find(']');
  return Trim(close == std::string_view::npos ? line : line.substr(0, close));
}

// Key and raw value of a "key=value" line, or nullopt for a comment or a line without '='.
std::optional<std::pair<std::string_view, std::string_view>> KeyLine(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';')
    return std::nullopt;
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  return std::pair{Trim(trimmed.substr(0, equals)), Trim(trimmed.substr(equals + 1))};
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The lines [first, last) of the first section called section, first being the line after its
// header; nullopt when the file has no such section.
struct Span {
  size_t first;
  size_t last;
};
std::optional<Span> SectionLines(const std::vector<Line>& lines, std::string_view section) {
  std::optional<Span> span;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::optional<std::string_view> name = SectionName(lines[i].text);
    if (!name)
      continue;
    if (span) {
      span->last = i;
      return span;
    }
    if (SameName(*name, section))
      span = Span{i + 1, lines.size()};
  }
  return span;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view contents, std::string_view section,
                                        std::string_view key) {
  std::vector<Line> lines = SplitLines(contents);
  std::optional<Span> span = SectionLines(lines, section);
  if (!span)
    return std::nullopt;
  for (size_t i = span->first; i < span->last; ++i) {
    auto pair = KeyLine(lines[i].text);
    if (pair && SameName(pair->first, key))
      return std::string(Unquote(pair->second));
  }
  return std::nullopt;
}

std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value) {
  std::vector<Line> lines = SplitLines(contents);
  std::string_view lineEnd =
      !lines.empty() && !lines.front().end.empty() ? lines.front().end : "\n";
  std::string keyLine = std::string(key) + "=" + std::string(value);

  std::vector<std::string> texts;  // owns the text of changed and added lines
  texts.reserve(3);
  std::optional<Span> span = SectionLines(lines, section);
  size_t insertAt = lines.size();
  std::vector<Line> added;
  bool replaced = false;
  if (!span) {
    texts.push_back("[" + std::string(section) + "]");
    added = {{texts.back(), lineEnd}};
  } else {
    insertAt = span->first;
    for (size_t i = span->first; i < span->last; ++i) {
      auto pair = KeyLine(lines[i].text);
      if (pair && SameName(pair->first, key)) {
        texts.push_back(keyLine);
        lines[i].text = texts.back();
        replaced = true;
        break;
      }
      if (!Trim(lines[i].text).empty())
        insertAt = i + 1;
    }
  }
  if (!replaced) {
    texts.push_back(keyLine);
    added.push_back({texts.back(), lineEnd});
    // A last line without an end gets one, so that the added lines start a line of their own.
    // A CR that ends it stays its text: with a bare LF behind it, it would turn into a line end
    // and the line (a password, say) would read one byte shorter.
    if (insertAt > 0 && lines[insertAt - 1].end.empty()) {
      std::string_view text = lines[insertAt - 1].text;
      lines[insertAt - 1].end = !text.empty() && text.back() == '\r' ? "\r\n" : lineEnd;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(), added.end());
  }

  std::string result;
  result.reserve(contents.size() + keyLine.size() + section.size() + 8);
  for (const Line& line : lines) {
    result.append(line.text);
    result.append(line.end);
  }
  return result;
}

std::string ReadIniValue(const std::string& path, std::string_view section, std::string_view key) {
  std::string contents;
  std::string ignored;
  if (ReadRegularFile(path, &contents, &ignored) != RegularFileRead::kRead)
    return {};
  return FindIniValue(contents, section, key).value_or(std::string());
}

bool WriteIniValues(const std::string& path, std::string_view section,
                    const std::vector<std::pair<std::string_view, std::string_view>>& values,
                    std::string* error) {
  for (const auto& [key, value] : values) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
      if (error != nullptr)
        *error = std::string(key) + ": a line break or NUL cannot be stored";
      return false;
    }
  }
  // Never rewrite a file that could not be read (its other sections would be lost), nor
  // anything that is not a regular file.
  std::string updated;
  std::string readError;
  if (ReadRegularFile(path, &updated, &readError) == RegularFileRead::kRefused) {
    if (error != nullptr)
      *error = readError;
    return false;
  }
  for (const auto& [key, value] : values)
    updated = SetIniValue(updated, section, key, value);
  return ReplaceFileWhole(path, updated, error);
}

bool WriteIniValue(const std::string& path, std::string_view section, std::string_view key,
                   std::string_view value, std::string* error) {
  return WriteIniValues(path, section, {{key, value}}, error);
}

}  // namespace brenlow
