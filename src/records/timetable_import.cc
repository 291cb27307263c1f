#include "records/timetable_import.h"

#include <optional>
#include <set>
#include <utility>

#include "core/weekdays.h"
#include "data/database.h"
#include "records/import_csv_file.h"
#include "records/text_characters.h"

namespace brenlow {
namespace {

using Status = TimetableImportResult::Status;

TimetableImportResult Result(Status status, std::string detail = {}) {
  TimetableImportResult result;
  result.status = status;
  result.detail = std::move(detail);
  return result;
}

// A time field: blank (the period stays unused), or a whole number of at most two digits up to
// max. Anything else ("8:00", "ab", "99") refuses the file.
bool IsTimeField(const std::string& text, int max) {
  if (text.find_first_not_of(' ') == std::string::npos)
    return true;
  if (text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  return std::stoi(text) <= max;
}

// The refusal for the first time that is no time, or empty.
std::string BadTime(const ImportCsvFile& file) {
  static constexpr const char* kNames[] = {"", "StartH", "StartM", "EndH", "EndM"};
  for (size_t record = 0; record < file.records.size(); ++record) {
    for (size_t field = 1; field <= 4; ++field) {
      const bool hour = field % 2 == 1;
      if (!IsTimeField(file.records[record][field], hour ? 23 : 59)) {
        return "第 " + std::to_string(file.lineNumbers[record]) + " 行第 " +
               std::to_string(field + 1) + " 项 " + kNames[field] + " 不是 " +
               (hour ? "0-23" : "0-59") + " 的整数：" +
               QuotedForMessage(file.records[record][field]) + "，整个文件未导入。";
      }
    }
  }
  return std::string();
}

// The result of a file that cannot be imported at all, or nullopt when it can.
std::optional<TimetableImportResult> Unreadable(const ImportCsvFile& file,
                                                const std::string& path) {
  switch (file.status) {
    case ImportCsvFile::Status::kOk:
      return std::nullopt;
    case ImportCsvFile::Status::kCannotOpen:
      return Result(Status::kCannotOpen, "无法读取文件 " + path);
    case ImportCsvFile::Status::kFileError:
      return Result(Status::kFileError, file.detail);
  }
  return Result(Status::kFileError, file.detail);
}

TimetableImportResult StoreFailed(const ImportCsvFile& file, size_t record) {
  return Result(Status::kStoreFailed, "第 " + std::to_string(file.lineNumbers[record]) +
                                          " 行：写入数据库失败，导入到此为止。");
}

// Updates, in one class's periods (rows in ID order, five weekday blocks of seven), every row
// at position period, period + 7, period + 14, ..., counting them in written. Reading a row that
// is not there (a class with at least one but at most `period` rows) raises DatabaseError. False
// when a statement fails.
bool UpdateClassPeriods(Database& db, RecordSet& periods, int period,
                        const std::vector<std::string>& fields, int* written) {
  if (periods.isEof())
    return true;  // a class without periods is passed over
  for (int step = 0; step < period; ++step)
    periods.moveNext();
  auto update = [&] {
    ++*written;
    return db.execute(FormatStatement(
        "Update tblkcTime set  StartH='%s', StartM='%s', EndH='%s', EndM='%s' where ID=%s",
        fields[1], fields[2], fields[3], fields[4], RowId{periods.fieldText("ID")}));
  };
  if (!update())
    return false;
  periods.moveNext();
  for (int position = period + 1; !periods.isEof(); ++position) {
    if ((position - period) % kPeriodsPerDay == 0 && !update())
      return false;
    periods.moveNext();
  }
  return true;
}

}  // namespace

TimetableImportResult ImportTimeTableFile(const Store& store, const std::string& path) {
  Database db = store.database();
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kTimeTableHeader, 5, kPeriodsPerDay);
  if (auto refused = Unreadable(file, path))
    return *refused;
  if (std::string bad = BadTime(file); !bad.empty())
    return Result(Status::kFileError, bad);
  TimetableImportResult result = Result(Status::kOk);
  result.encoding = file.encoding;
  std::set<std::string> classesWritten;
  size_t period = 0;
  try {
    for (; period < file.records.size(); ++period) {
      RecordSet classes = db.query("select * from tblbj  Order by ID");
      if (!classes.isValid())
        return StoreFailed(file, period);
      while (!classes.isEof()) {
        const std::string name = classes.fieldText("Name");
        RecordSet periods = db.query(
            FormatStatement("select * from tblkcTime where BJName = '%s' Order by ID", name));
        const int before = result.rows;
        if (!UpdateClassPeriods(db, periods, static_cast<int>(period), file.records[period],
                                &result.rows))
          return StoreFailed(file, period);
        if (result.rows > before)
          classesWritten.insert(name);
        classes.moveNext();
      }
    }
  } catch (const DatabaseError&) {
    return StoreFailed(file, period);
  }
  result.classes = static_cast<int>(classesWritten.size());
  return result;
}

TimetableImportResult ImportCourseTableFile(const Store& store, const std::string& path) {
  Database db = store.database();
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kCourseTableHeader, 6);
  if (auto refused = Unreadable(file, path))
    return *refused;
  TimetableImportResult result = Result(Status::kOk);
  result.encoding = file.encoding;
  std::set<std::string> classesWritten;
  auto courseRows = [&db](const std::string& className) {
    return db.query(
        FormatStatement("select * from tblkc where BJName = '%s'  Order by ID", className));
  };
  size_t record = 0;
  try {
    int row = 0;  // course row of the current line, 0 for period 1
    // The first record never counts as a change of class.
    std::string previousClass = file.records.empty() ? std::string() : file.records[0][0];
    for (; record < file.records.size(); ++record) {
      const std::vector<std::string>& fields = file.records[record];
      const std::string& className = fields[0];
      RecordSet rows = courseRows(className);
      if (!rows.isValid())
        return StoreFailed(file, record);
      if (rows.isEof()) {
        RecordSet classes = db.query(
            FormatStatement("select * from tblbj where Name = '%s'  Order by ID", className));
        if (!classes.isValid())
          return StoreFailed(file, record);
        if (classes.isEof()) {
          result.skipped.push_back("第 " + std::to_string(file.lineNumbers[record]) + " 行：班级 " +
                                   QuotedForMessage(className) + " 不存在，已跳过");
        } else {
          for (int created = 0; created < kPeriodsPerDay; ++created) {
            if (!db.execute(FormatStatement("Insert into tblkc (BJName, Monday, Tuesday, "
                                            "Wednesday, Thursday, Friday) Values ('%s', '%s', "
                                            "'%s', '%s', '%s', '%s')",
                                            className, " ", " ", " ", " ", " ")))
              return StoreFailed(file, record);
          }
          row = 0;
        }
      }
      if (className != previousClass) {
        previousClass = className;
        row = 0;
      }
      rows = courseRows(className);
      if (!rows.isValid())
        return StoreFailed(file, record);
      for (int position = 0; position < row && !rows.isEof(); ++position)
        rows.moveNext();
      if (!rows.isEof() &&
          !db.execute(FormatStatement("Update tblkc set  Monday='%s', Tuesday='%s', "
                                      "Wednesday='%s', Thursday='%s',Friday='%s' where ID=%s",
                                      fields[1], fields[2], fields[3], fields[4], fields[5],
                                      RowId{rows.fieldText("ID")})))
        return StoreFailed(file, record);
      if (!rows.isEof()) {
        ++result.rows;
        classesWritten.insert(className);
      }
      row = row + 1 > kPeriodsPerDay - 1 ? 0 : row + 1;
    }
  } catch (const DatabaseError&) {
    return StoreFailed(file, record);
  }
  result.classes = static_cast<int>(classesWritten.size());
  return result;
}

TimetablePairResult ImportTimetableFiles(const Store& store, const std::string& timesPath,
                                         const std::string& coursesPath, bool dryRun) {
  TimetablePairResult result;
  Database db = store.database();
  db.open();
  if (!db.execute("BEGIN IMMEDIATE")) {
    result.storeFailure = "无法开始写入数据库";
    result.times = Result(Status::kStoreFailed, result.storeFailure);
    result.courses = result.times;
    return result;
  }
  result.times = ImportTimeTableFile(store, timesPath);
  result.courses = ImportCourseTableFile(store, coursesPath);
  const bool keep = !dryRun && result.times.ok() && result.courses.ok();
  if (keep && db.execute("COMMIT")) {
    result.written = true;
    return result;
  }
  if (keep)
    result.storeFailure = "无法提交写入";
  db.execute("ROLLBACK");
  return result;
}

std::vector<std::string> TimetableSummary(const TimetablePairResult& result, bool dryRun) {
  std::vector<std::string> lines;
  const TimetableImportResult& times = result.times;
  const TimetableImportResult& courses = result.courses;
  const bool both = times.ok() && courses.ok();
  const std::string verb = dryRun ? "将写入" : result.written ? "已写入" : "可写入";
  if (!times.encoding.empty())
    lines.push_back("时间表按 " + times.encoding + " 读取");
  if (!courses.encoding.empty())
    lines.push_back("课程表按 " + courses.encoding + " 读取");
  if (times.ok()) {
    lines.push_back("时间表：" + verb + " " + std::to_string(times.classes) + " 个班级的 " +
                    std::to_string(times.rows) + " 节");
  }
  if (courses.ok()) {
    lines.push_back("课程表：" + verb + " " + std::to_string(courses.classes) + " 个班级的 " +
                    std::to_string(courses.rows) + " 行课程");
  }
  for (const std::string& skipped : times.skipped)
    lines.push_back(skipped);
  for (const std::string& skipped : courses.skipped)
    lines.push_back(skipped);
  if (!times.ok())
    lines.push_back("时间表：" + times.detail);
  if (!courses.ok())
    lines.push_back("课程表：" + courses.detail);
  if (!result.storeFailure.empty())
    lines.push_back(result.storeFailure);
  if (!both || !result.storeFailure.empty())
    lines.push_back("两个文件都未写入。");
  else if (dryRun)
    lines.push_back("试运行：什么也没有写入。");
  return lines;
}

}  // namespace brenlow
