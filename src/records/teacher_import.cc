#include "records/teacher_import.h"

#include "data/database.h"
#include "records/teacher_file.h"
#include "records/teacher_records.h"

namespace brenlow {
namespace {

std::string RefusedLinesText(const std::vector<int>& lines) {
  std::string numbers;
  for (int line : lines) {
    if (!numbers.empty())
      numbers += "、";
    numbers += std::to_string(line);
  }
  return "第 " + numbers + " 行的工号或姓名多于 " + std::to_string(kTeacherFieldCharacters) +
         " 个字符，未导入。";
}

void Fail(TeacherImportResult& result, const std::string& reason) {
  result.ok = false;
  if (!result.detail.empty())
    result.detail += "\n";
  result.detail += reason;
}

}  // namespace

TeacherImportResult ImportTeacherFile(const std::string& path) {
  TeacherImportResult result;
  Database db = Database::DefaultStore();
  db.open();
  GbkReadResult file = ReadGbkLines(path);
  if (file.status != GbkReadStatus::kOk) {
    // A file that is not text of its encoding throughout is refused whole rather than imported
    // as whatever its bytes happen to decode to.
    Fail(result, file.errorText);
    return result;
  }
  TeacherFileContent content = ParseTeacherFile(file.lines);
  if (!content.headerOk) {
    Fail(result, std::string("第一行不是 \"") + kTeacherFileHeader + "\"。");
    return result;
  }
  if (!content.refusedLines.empty())
    Fail(result, RefusedLinesText(content.refusedLines));
  for (const TeacherFileRow& teacher : content.teachers) {
    RecordSet existing = db.query(
        FormatStatement("select ID from tblThMes where Numb = '%s'  Order by ID", teacher.number));
    if (!existing.isValid()) {
      Fail(result, "第 " + std::to_string(teacher.lineNumber) + " 行：无法读取老师表。");
      return result;
    }
    if (!existing.isEof())
      continue;
    if (!db.execute(FormatStatement(
            "Insert into tblThMes (Numb, Name, NameNumb) Values ('%s', '%s', '%s')", teacher.number,
            teacher.name, NameNumb(teacher.name, teacher.number)))) {
      Fail(result,
           "第 " + std::to_string(teacher.lineNumber) + " 行：无法写入老师表，导入到此为止。");
      return result;
    }
  }
  return result;
}

GbkWriteResult ExportTeacherFile(const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& rows) {
  return WriteGbkLines(path, TeacherFileLines(rows));
}

std::string Gb18030Note(int characters) {
  return "有 " + std::to_string(characters) + " 个字符不在 GBK 字符集中，已按 GB18030 写出。";
}

}  // namespace brenlow
