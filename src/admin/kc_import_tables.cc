// The two imports of CKCImportDlg. There is no transaction: statements already run stay done
// when a later one fails, and a failure ends the import at that point with m_bImportOk cleared.
#include "admin/import_csv_file.h"
#include "admin/kc_import_dlg.h"
#include "core/messages.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "data/database_path.h"

namespace brenlow {
namespace {

// Opens the file of one import; false (with the failure reported as the dialog reports it) when
// there is nothing to import.
bool ReadOrReport(const ImportCsvFile& file) {
  switch (file.status) {
    case ImportCsvFile::Status::kOk:
      return true;
    case ImportCsvFile::Status::kCannotOpen:
      return false;  // no message of its own; the result message says "导入失败!"
    case ImportCsvFile::Status::kFileError: {
      Message message("文件错误!");
      message.detail = file.detail;
      ShowMessage(message);
      return false;
    }
  }
  return false;
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

void CKCImportDlg::ImportTimeTable(const std::string& path) {
  Database db;
  db.setPath(DatabasePath());
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kTimeTableHeader, 5, kPeriodsPerDay);
  if (!ReadOrReport(file)) {
    m_bImportOk = false;
    return;
  }
  try {
    for (int period = 0; period < static_cast<int>(file.records.size()); ++period) {
      RecordSet classes = db.query("select * from tblbj  Order by ID");
      if (!classes.isValid()) {
        m_bImportOk = false;
        return;
      }
      while (!classes.isEof()) {
        RecordSet periods = db.query(FormatStatement(
            "select * from tblkcTime where BJName = '%s' Order by ID", classes.fieldText("Name")));
        if (!UpdateClassPeriods(db, periods, period, file.records[period])) {
          m_bImportOk = false;
          return;
        }
        classes.moveNext();
      }
    }
  } catch (const DatabaseError&) {
    m_bImportOk = false;
  }
}

void CKCImportDlg::ImportCourseTable(const std::string& path) {
  Database db;
  db.setPath(DatabasePath());
  db.open();
  ImportCsvFile file = ReadImportCsvFile(path, kCourseTableHeader, 6);
  if (!ReadOrReport(file)) {
    m_bImportOk = false;
    return;
  }
  auto courseRows = [&db](const std::string& className) {
    return db.query(
        FormatStatement("select * from tblkc where BJName = '%s'  Order by ID", className));
  };
  try {
    int row = 0;  // course row of the current line, 0 for period 1
    // The first record never counts as a change of class.
    std::string previousClass = file.records.empty() ? std::string() : file.records[0][0];
    for (const std::vector<std::string>& fields : file.records) {
      const std::string& className = fields[0];
      RecordSet rows = courseRows(className);
      if (!rows.isValid()) {
        m_bImportOk = false;
        return;
      }
      if (rows.isEof()) {
        RecordSet classes = db.query(
            FormatStatement("select * from tblbj where Name = '%s'  Order by ID", className));
        if (!classes.isValid()) {
          m_bImportOk = false;
          return;
        }
        if (!classes.isEof()) {
          for (int created = 0; created < kPeriodsPerDay; ++created) {
            if (!db.execute(FormatStatement("Insert into tblkc (BJName, Monday, Tuesday, "
                                            "Wednesday, Thursday, Friday) Values ('%s', '%s', "
                                            "'%s', '%s', '%s', '%s')",
                                            className, " ", " ", " ", " ", " "))) {
              m_bImportOk = false;
              return;
            }
          }
          row = 0;
        }
      }
      if (className != previousClass) {
        previousClass = className;
        row = 0;
      }
      rows = courseRows(className);
      if (!rows.isValid()) {
        m_bImportOk = false;
        return;
      }
      for (int position = 0; position < row && !rows.isEof(); ++position)
        rows.moveNext();
      if (!rows.isEof() &&
          !db.execute(FormatStatement("Update tblkc set  Monday='%s', Tuesday='%s', "
                                      "Wednesday='%s', Thursday='%s',Friday='%s' where ID=%s",
                                      fields[1], fields[2], fields[3], fields[4], fields[5],
                                      RowId{rows.fieldText("ID")}))) {
        m_bImportOk = false;
        return;
      }
      row = row + 1 > kPeriodsPerDay - 1 ? 0 : row + 1;
    }
  } catch (const DatabaseError&) {
    m_bImportOk = false;
  }
}

}  // namespace brenlow
