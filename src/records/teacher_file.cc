#include "records/teacher_file.h"

namespace brenlow {
namespace {

// Characters of UTF-8 text: every byte but the continuation bytes starts one.
bool FitsField(const std::string& text) {
  int characters = 0;
  for (unsigned char byte : text) {
    if ((byte & 0xC0) != 0x80)
      ++characters;
  }
  return characters <= kTeacherFieldCharacters;
}

}  // namespace

TeacherFileContent ParseTeacherFile(const std::vector<std::string>& lines) {
  TeacherFileContent content;
  if (lines.empty() || lines.front() != kTeacherFileHeader)
    return content;
  content.headerOk = true;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    size_t comma = line.find(',');
    if (comma == std::string::npos) {
      if (!line.empty())
        content.noCommaLines.push_back(static_cast<int>(i) + 1);
      continue;
    }
    TeacherFileRow row{static_cast<int>(i) + 1, line.substr(0, comma), line.substr(comma + 1)};
    if (!FitsField(row.number) || !FitsField(row.name)) {
      content.refusedLines.push_back(row.lineNumber);
      continue;
    }
    content.teachers.push_back(std::move(row));
  }
  return content;
}

std::vector<std::string> TeacherFileLines(
    const std::vector<std::pair<std::string, std::string>>& rows) {
  std::vector<std::string> lines{kTeacherFileHeader};
  for (const auto& [number, name] : rows)
    lines.push_back(number + "," + name);
  return lines;
}

}  // namespace brenlow
