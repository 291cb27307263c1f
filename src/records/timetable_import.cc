#include "records/timetable_import.h"

#include <optional>
#include <utility>

#include "core/weekdays.h"
#include "data/database.h"
#include "records/import_csv_file.h"

namespace brenlow {
namespace {

using Status = TimetableImportResult::Status;

TimetableImportResult Result(Status status, std::string detail = {}) {
  return TimetableImportResult{status, std::move(detail)};
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
// at position period, period + 7, period + 14, ... Reading a row that is not there (a class with
// at least one but at most `period` rows) raises DatabaseError. False when a statement fails.
bool UpdateClassPeriods(Database& db, RecordSet& periods, int period,
                        const std::vector<std::string>& fields) {
  if (periods.isEof())
    return true;  // a class without periods is passed over
  for (int step = 0; step < period; ++step)
    periods.moveNext();
  auto update = [&] {
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

TimetableImportResult ImportTimeTableFile(const std::string& path) {
  Database db = Database::DefaultStore();
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kTimeTableHeader, 5, kPeriodsPerDay);
  if (auto refused = Unreadable(file, path))
    return *refused;
  size_t period = 0;
  try {
    for (; period < file.records.size(); ++period) {
      RecordSet classes = db.query("select * from tblbj  Order by ID");
      if (!classes.isValid())
        return StoreFailed(file, period);
      while (!classes.isEof()) {
        RecordSet periods = db.query(FormatStatement(
            "select * from tblkcTime where BJName = '%s' Order by ID", classes.fieldText("Name")));
        if (!UpdateClassPeriods(db, periods, static_cast<int>(period), file.records[period]))
          return StoreFailed(file, period);
        classes.moveNext();
      }
    }
  } catch (const DatabaseError&) {
    return StoreFailed(file, period);
  }
  return Result(Status::kOk);
}

TimetableImportResult ImportCourseTableFile(const std::string& path) {
  Database db = Database::DefaultStore();
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kCourseTableHeader, 6);
  if (auto refused = Unreadable(file, path))
    return *refused;
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
        if (!classes.isEof()) {
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
      row = row + 1 > kPeriodsPerDay - 1 ? 0 : row + 1;
    }
  } catch (const DatabaseError&) {
    return StoreFailed(file, record);
  }
  return Result(Status::kOk);
}

}  // namespace brenlow
