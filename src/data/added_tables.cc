#include "data/added_tables.h"

namespace brenlow {
namespace {

bool HasTable(sqlite3* handle, const char* name, bool* has) {
  sqlite3_stmt* query = nullptr;
  int rc = sqlite3_prepare_v2(handle, "select 1 from sqlite_master where type='table' and name=?",
                              -1, &query, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_bind_text(query, 1, name, -1, SQLITE_STATIC);
  if (rc == SQLITE_OK)
    rc = sqlite3_step(query);
  sqlite3_finalize(query);
  *has = rc == SQLITE_ROW;
  return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

}  // namespace

const std::vector<AddedTable>& AddedTables() {
  // Never destroyed: a worker may still open the store while the process exits.
  static const auto* tables = new std::vector<AddedTable>{
      // The school calendar: one entry per day and class ('' the whole school). kind 'off' (a
      // day off) or 'follows' (a make-up day that runs the periods of weekday, "星期一" to
      // "星期五"; whole school only).
      {"tbl_calendar",
       "CREATE TABLE tbl_calendar (\n"
       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
       "  date_day TEXT DEFAULT '',\n"
       "  kind TEXT DEFAULT '',\n"
       "  weekday TEXT DEFAULT '',\n"
       "  class_Name TEXT DEFAULT '',\n"
       "  note TEXT DEFAULT ''\n"
       ");\n"
       "CREATE UNIQUE INDEX tbl_calendar_date_class ON tbl_calendar (date_day, class_Name);\n",
       {"ID", "date_day", "kind", "weekday", "class_Name", "note"}},
      // What happened in the rooms, one row per event (events/event.h says what each column
      // holds for each kind). Times are local, "YYYY-MM-DDTHH:MM:SS", so that text order is
      // time order.
      {"tbl_events",
       "CREATE TABLE tbl_events (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
       "time TEXT NOT NULL DEFAULT '', kind TEXT NOT NULL DEFAULT '', "
       "class TEXT NOT NULL DEFAULT '', address TEXT NOT NULL DEFAULT '', "
       "port INTEGER NOT NULL DEFAULT 0, count INTEGER NOT NULL DEFAULT 1, "
       "card TEXT NOT NULL DEFAULT '', teacher TEXT NOT NULL DEFAULT '', "
       "decision TEXT NOT NULL DEFAULT '', command TEXT NOT NULL DEFAULT '', "
       "reason TEXT NOT NULL DEFAULT '', outcome TEXT NOT NULL DEFAULT '', "
       "edit_row TEXT NOT NULL DEFAULT '', fields TEXT NOT NULL DEFAULT '', "
       "power TEXT NOT NULL DEFAULT '');"
       "CREATE INDEX tbl_events_time ON tbl_events (time);",
       {"ID", "time", "kind", "class", "address", "port", "count", "card", "teacher", "decision",
        "command", "reason", "outcome", "edit_row", "fields", "power"}},
      // When each class's controller last reported, written at most once a minute per class.
      {"tbl_last_report",
       "CREATE TABLE tbl_last_report (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
       "class TEXT NOT NULL UNIQUE, time TEXT NOT NULL DEFAULT '');",
       {"ID", "class", "time"}},
      // What the server keeps about itself across restarts, one value per name: when it last
      // started, the last minute its scheduler acted on.
      {"tbl_server_state",
       "CREATE TABLE tbl_server_state (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
       "name TEXT NOT NULL UNIQUE, value TEXT NOT NULL DEFAULT '');",
       {"ID", "name", "value"}},
      // One-day changes: one per date, class and period (1-7, counted among the periods that
      // apply on that date). kind 'substitute' (teacher_Numb takes the lesson; teacher_NameNumb
      // is how the teacher was named when the change was written, kept for a teacher since
      // removed) or 'cancelled'.
      {"tbl_day_change",
       "CREATE TABLE tbl_day_change (\n"
       "  ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
       "  date_day TEXT DEFAULT '',\n"
       "  class_Name TEXT DEFAULT '',\n"
       "  period INTEGER DEFAULT 0,\n"
       "  kind TEXT DEFAULT '',\n"
       "  teacher_Numb TEXT DEFAULT '',\n"
       "  teacher_NameNumb TEXT DEFAULT '',\n"
       "  note TEXT DEFAULT ''\n"
       ");\n"
       "CREATE UNIQUE INDEX tbl_day_change_date_class_period ON tbl_day_change (date_day, "
       "class_Name, period);\n",
       {"ID", "date_day", "class_Name", "period", "kind", "teacher_Numb", "teacher_NameNumb",
        "note"}},
  };
  return *tables;
}

bool AddMissingTables(sqlite3* handle, std::string* error) {
  std::string script;
  for (const AddedTable& table : AddedTables()) {
    bool has = false;
    if (!HasTable(handle, table.name, &has)) {
      *error = sqlite3_errmsg(handle);
      return false;
    }
    if (!has)
      script += table.createSql;
  }
  if (script.empty())
    return true;
  // Another process may add the same tables at the same moment: the immediate transaction
  // makes one wait for the other, and the second then finds them (IF NOT EXISTS is not used in
  // the scripts, so the check is repeated inside the transaction).
  char* message = nullptr;
  int rc = sqlite3_exec(handle, "BEGIN IMMEDIATE", nullptr, nullptr, &message);
  if (rc == SQLITE_OK) {
    script.clear();
    for (const AddedTable& table : AddedTables()) {
      bool has = false;
      if (!HasTable(handle, table.name, &has)) {
        rc = SQLITE_ERROR;
        break;
      }
      if (!has)
        script += table.createSql;
    }
    if (rc == SQLITE_OK)
      rc = sqlite3_exec(handle, script.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
      rc = sqlite3_exec(handle, "COMMIT", nullptr, nullptr, &message);
  }
  if (rc != SQLITE_OK) {
    *error = message != nullptr ? message : sqlite3_errmsg(handle);
    sqlite3_free(message);
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }
  return true;
}

}  // namespace brenlow
