// The teacher file: code page 936 text, first line exactly "Numb,Name", then one teacher per
// line as number, comma, name (no quoting, nothing trimmed). This unit turns the file's lines
// into teachers and the teacher list into the file's lines; reading and writing the bytes is
// gbk_text_file's, the store is the dialogs'.
#pragma once

#include <string>
#include <vector>

namespace brenlow {

inline constexpr const char* kTeacherFileHeader = "Numb,Name";
// A number or a name of the file holds at most this many characters.
inline constexpr int kTeacherFieldCharacters = 23;

struct TeacherFileRow {
  int lineNumber = 0;  // 1-based line of the file
  std::string number;
  std::string name;
};

struct TeacherFileContent {
  bool headerOk = false;
  // The teachers of the file in file order. A line without a comma (an empty line among them)
  // is no teacher and is skipped. The number is the text before the first comma, the name all
  // after it, so a name holding a comma comes back as it was exported.
  std::vector<TeacherFileRow> teachers;
  // Lines whose number or name is longer than kTeacherFieldCharacters: not taken.
  std::vector<int> refusedLines;
  // Lines that are not empty and hold no comma: no teacher.
  std::vector<int> noCommaLines;
};

// lines: the file's lines as UTF-8, header first. Nothing after a wrong header is looked at.
TeacherFileContent ParseTeacherFile(const std::vector<std::string>& lines);

// The file's lines for these (number, name) rows, header first.
std::vector<std::string> TeacherFileLines(
    const std::vector<std::pair<std::string, std::string>>& rows);

}  // namespace brenlow
