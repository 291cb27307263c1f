#include "records/teacher_import.h"

#include <algorithm>

#include "data/database.h"
#include "records/teacher_file.h"
#include "records/teacher_records.h"
#include "records/text_characters.h"

namespace brenlow {
namespace {

void Fail(TeacherImportResult& result, const std::string& reason) {
  result.ok = false;
  if (!result.detail.empty())
    result.detail += "\n";
  result.detail += reason;
}

std::string Line(int number) {
  return "第 " + std::to_string(number) + " 行：";
}

}  // namespace

TeacherImportResult ImportTeacherFile(const Store& store, const std::string& path, bool dryRun) {
  TeacherImportResult result;
  GbkReadResult file = ReadGbkLines(path);
  if (file.status != GbkReadStatus::kOk) {
    // A file that is not text of its encoding throughout is refused whole rather than imported
    // as whatever its bytes happen to decode to.
    Fail(result, file.errorText);
    return result;
  }
  result.encoding = file.encoding;
  TeacherFileContent content = ParseTeacherFile(file.lines);
  if (!content.headerOk) {
    Fail(result, std::string("第一行不是 \"") + kTeacherFileHeader + "\"。");
    return result;
  }
  // Reported in line order.
  std::vector<std::pair<int, std::string>> skipped;
  for (int line : content.refusedLines) {
    skipped.emplace_back(line, Line(line) + "工号或姓名多于 " +
                                   std::to_string(kTeacherFieldCharacters) + " 个字符，已跳过");
  }
  for (int line : content.noCommaLines)
    skipped.emplace_back(line, Line(line) + "没有逗号，不是“工号,姓名”，已跳过");

  Database db = store.database();
  db.open();
  // One transaction for the whole file: a hundred thousand teachers take seconds, not minutes,
  // and a failure half-way leaves nothing behind.
  if (!db.execute("BEGIN IMMEDIATE")) {
    Fail(result, "无法开始写入老师表。");
    return result;
  }
  for (const TeacherFileRow& teacher : content.teachers) {
    if (teacher.number.empty() || teacher.name.empty()) {
      skipped.emplace_back(
          teacher.lineNumber,
          Line(teacher.lineNumber) + (teacher.number.empty() ? "工号" : "姓名") + "为空，已跳过");
      continue;
    }
    RecordSet existing = db.query(
        FormatStatement("select ID from tblThMes where Numb = '%s'  Order by ID", teacher.number));
    if (!existing.isValid()) {
      Fail(result, Line(teacher.lineNumber) + "无法读取老师表，未导入。");
      db.execute("ROLLBACK");
      return result;
    }
    if (!existing.isEof()) {
      skipped.emplace_back(teacher.lineNumber, Line(teacher.lineNumber) + "工号 " +
                                                   QuotedForMessage(teacher.number) +
                                                   " 已存在，已跳过");
      continue;
    }
    if (!db.execute(FormatStatement(
            "Insert into tblThMes (Numb, Name, NameNumb) Values ('%s', '%s', '%s')", teacher.number,
            teacher.name, NameNumb(teacher.name, teacher.number)))) {
      Fail(result, Line(teacher.lineNumber) + "无法写入老师表，未导入。");
      db.execute("ROLLBACK");
      return result;
    }
    ++result.written;
  }
  if (dryRun || !db.execute("COMMIT")) {
    db.execute("ROLLBACK");
    if (!dryRun) {
      Fail(result, "无法提交写入，未导入。");
      return result;
    }
  }
  std::stable_sort(skipped.begin(), skipped.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [line, reason] : skipped)
    result.skipped.push_back(std::move(reason));
  return result;
}

std::vector<std::string> TeacherImportSummary(const TeacherImportResult& result, bool dryRun) {
  std::vector<std::string> lines;
  if (!result.encoding.empty())
    lines.push_back("按 " + result.encoding + " 读取");
  if (result.ok) {
    lines.push_back(std::string(dryRun ? "将写入 " : "已写入 ") + std::to_string(result.written) +
                    " 位老师");
  }
  lines.insert(lines.end(), result.skipped.begin(), result.skipped.end());
  if (result.ok && dryRun)
    lines.push_back("试运行：什么也没有写入。");
  return lines;
}

GbkWriteResult ExportTeacherFile(const Store& store, const std::string& path,
                                 const std::vector<std::pair<std::string, std::string>>& rows) {
  return WriteGbkLines(store, path, TeacherFileLines(rows));
}

GbkWriteResult TeacherFileBytes(const std::vector<std::pair<std::string, std::string>>& rows,
                                std::string* bytes) {
  GbkWriteResult result;
  for (const std::string& line : TeacherFileLines(rows)) {
    if (!EncodeGbk(line, *bytes, result.gb18030Characters)) {
      result.errorText = "文字不是有效的 UTF-8：" + QuotedForMessage(line);
      return result;
    }
    *bytes += "\r\n";
  }
  result.ok = true;
  return result;
}

std::string Gb18030Note(int characters) {
  return "有 " + std::to_string(characters) + " 个字符不在 GBK 字符集中，已按 GB18030 写出。";
}

}  // namespace brenlow
