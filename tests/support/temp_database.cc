#include "support/temp_database.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>

#include "core/weekdays.h"
#include "data/connection.h"
#include "data/schema.h"

namespace brenlow::testing {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    quoted += c;
    if (c == '\'')
      quoted += '\'';
  }
  return quoted + "'";
}

TempDatabase::TempDatabase() {
  char pattern[] = "/tmp/brenlow-test-XXXXXX";
  folder_ = mkdtemp(pattern);
  path_ = folder_ + "/test.db";
  std::string error;
  if (!CreateDatabase(path_, &error))
    ADD_FAILURE() << error;
}

TempDatabase::~TempDatabase() {
  ReleaseThreadConnections();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TempDatabase::exec(const std::string& sql) const {
  ExecAt(path_, sql);
}

std::vector<std::string> TempDatabase::column(const std::string& sql) const {
  return ColumnAt(path_, sql);
}

void TempDatabase::ExecAt(const std::string& path, const std::string& sql) {
  sqlite3* handle = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  sqlite3_busy_timeout(handle, 10000);
  char* message = nullptr;
  int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
  EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "") << " in: " << sql;
  sqlite3_free(message);
  sqlite3_close_v2(handle);
}

std::vector<std::string> TempDatabase::ColumnAt(const std::string& path, const std::string& sql) {
  std::vector<std::string> values;
  sqlite3* handle = nullptr;
  if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << path;
    sqlite3_close_v2(handle);
    return values;
  }
  sqlite3_busy_timeout(handle, 10000);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(handle) << " in: " << sql;
  } else {
    while (sqlite3_step(statement) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      values.emplace_back(text ? reinterpret_cast<const char*>(text) : "<NULL>");
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close_v2(handle);
  return values;
}

std::string TempDatabase::value(const std::string& sql) const {
  std::vector<std::string> values = column(sql);
  EXPECT_EQ(values.size(), 1u) << sql;
  return values.empty() ? std::string() : values.front();
}

void TempDatabase::addClass(const std::string& name, const std::string& zkip,
                            const std::string& macAddress, const std::string& password) const {
  std::string sql = "Insert into tblbj (Name, ZKIP, PCMacAddr, Pass) Values (" + Quote(name) + "," +
                    Quote(zkip) + "," + Quote(macAddress) + "," + Quote(password) + ");";
  for (const char* weekday : kSchoolWeekdays) {
    for (int period = 0; period < kPeriodsPerDay; ++period) {
      sql += "Insert into tblkcTime (BJName, Week) Values (" + Quote(name) + "," + Quote(weekday) +
             ");";
    }
  }
  exec("BEGIN;" + sql + "COMMIT;");
}

void TempDatabase::addTeacher(const std::string& number, const std::string& name) const {
  exec("Insert into tblThMes (Numb, Name, NameNumb) Values (" + Quote(number) + "," + Quote(name) +
       "," + Quote(name + "(" + number + ")") + ")");
}

void TempDatabase::heardFrom(const std::string& className) const {
  exec(
      "Insert or ignore into tbl_server_state (name, value) Values ('started', "
      "'2000-01-01T00:00:00')");
  exec("Insert or replace into tbl_last_report (class, time) Values (" + Quote(className) +
       ", '2000-01-01T00:00:01')");
}

}  // namespace brenlow::testing
