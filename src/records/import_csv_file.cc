#include "records/import_csv_file.h"

#include "records/gbk_text_file.h"
#include "records/text_characters.h"

namespace brenlow {
namespace {

ImportCsvFile FileError(std::string detail) {
  ImportCsvFile file;
  file.status = ImportCsvFile::Status::kFileError;
  file.detail = std::move(detail);
  return file;
}

}  // namespace

ImportCsvFile ReadImportCsvFile(const std::string& path, std::string_view header, size_t fieldCount,
                                size_t maxRecords) {
  GbkReadResult read = ReadGbkLines(path);
  if (read.status == GbkReadStatus::kCannotOpen) {
    ImportCsvFile file;
    file.status = ImportCsvFile::Status::kCannotOpen;
    return file;
  }
  if (read.status == GbkReadStatus::kRefused)
    return FileError(read.errorText);
  // Lines past undecodable bytes are missing from read.lines; that only matters when a record
  // is still wanted once the lines run out.
  bool undecodable = read.status == GbkReadStatus::kUndecodable;
  if (read.lines.empty()) {
    return FileError(undecodable ? read.errorText : "文件是空的");
  }
  if (read.lines.front() != header) {
    return FileError("第 1 行应为：" + std::string(header));
  }

  ImportCsvFile file;
  file.encoding = read.encoding;
  std::string tooLong;  // the first ten such fields; the count of the rest
  int tooLongCount = 0;
  for (size_t index = 1; index < read.lines.size() && file.records.size() < maxRecords; ++index) {
    const std::string& line = read.lines[index];
    if (line.empty())
      continue;
    std::vector<std::string> fields = SplitCsvFields(line);
    fields.resize(fieldCount);
    for (size_t field = 0; field < fieldCount; ++field) {
      if (Utf16Length(fields[field]) > kMaxImportFieldLength && ++tooLongCount <= 10) {
        tooLong += "第 " + std::to_string(index + 1) + " 行第 " + std::to_string(field + 1) +
                   " 项超过 " + std::to_string(kMaxImportFieldLength) +
                   " 个字：" + QuotedForMessage(fields[field]) + "\n";
      }
    }
    file.records.push_back(std::move(fields));
    file.lineNumbers.push_back(static_cast<int>(index) + 1);
  }
  if (!tooLong.empty()) {
    if (tooLongCount > 10)
      tooLong += "另有 " + std::to_string(tooLongCount - 10) + " 项超长。\n";
    tooLong.pop_back();  // the last line end
    return FileError(tooLong);
  }
  if (undecodable && file.records.size() < maxRecords)
    return FileError(read.errorText);
  return file;
}

}  // namespace brenlow
