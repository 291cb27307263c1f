#include "data/store_shape.h"

#include <cctype>
#include <optional>

#include "data/added_tables.h"
#include "data/schema.h"
#include "data/store_tables.h"

namespace brenlow {
namespace {

// How many findings of one kind are listed before the rest are only counted.
constexpr size_t kListedFindings = 10;

struct Column {
  std::string name;
  std::string type;
  bool notNull = false;
  std::optional<std::string> defaultValue;
  int keyPosition = 0;

  bool operator==(const Column&) const = default;
};

struct Table {
  std::string name;
  std::vector<Column> columns;
  std::string definition;  // the CREATE TABLE text, blanks folded (see Folded)
  bool required = true;    // one of the five
};

// One statement's rows, every column as text (NULL as nullopt). False on a failed read, with
// error set.
bool Rows(sqlite3* handle, const std::string& sql, const std::vector<std::string>& parameters,
          std::vector<std::vector<std::optional<std::string>>>* rows, std::string* error) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(handle);
    return false;
  }
  for (size_t i = 0; i < parameters.size(); ++i)
    sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1,
                      SQLITE_TRANSIENT);
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    auto& row = rows->emplace_back();
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      const unsigned char* text = sqlite3_column_text(statement, column);
      if (text == nullptr)
        row.emplace_back(std::nullopt);
      else
        row.emplace_back(reinterpret_cast<const char*>(text));
    }
  }
  if (rc != SQLITE_DONE)
    *error = sqlite3_errmsg(handle);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE;
}

// The definition with runs of blanks made one space and letters in lower case: two texts that
// SQLite reads alike up to layout and letter case compare equal (names are compared exactly
// elsewhere).
std::string Folded(const std::string& definition) {
  std::string folded;
  for (char c : definition) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!folded.empty() && folded.back() != ' ')
        folded += ' ';
    } else {
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  while (!folded.empty() && folded.back() == ' ')
    folded.pop_back();
  return folded;
}

// The table named exactly name in handle's database; nullopt when there is none. False on a
// failed read.
bool ReadTable(sqlite3* handle, const std::string& name, std::optional<Table>* table,
               std::string* error) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  if (!Rows(handle, "select sql from sqlite_schema where type='table' and name=?1", {name}, &rows,
            error)) {
    return false;
  }
  if (rows.empty()) {
    table->reset();
    return true;
  }
  Table found;
  found.name = name;
  found.definition = Folded(rows[0][0].value_or(""));
  rows.clear();
  // cid, name, type, notnull, dflt_value, pk
  if (!Rows(handle,
            "select cid, name, type, \"notnull\", dflt_value, pk from pragma_table_info(?1)",
            {name}, &rows, error)) {
    return false;
  }
  for (const auto& row : rows) {
    Column column;
    column.name = row[1].value_or("");
    column.type = row[2].value_or("");
    for (char& c : column.type)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    column.notNull = row[3].value_or("0") != "0";
    column.defaultValue = row[4];
    column.keyPosition = std::stoi(row[5].value_or("0"));
    found.columns.push_back(std::move(column));
  }
  *table = std::move(found);
  return true;
}

// The tables --init-database makes, read back from a database made by it in memory.
const std::vector<Table>& ModelTables() {
  // Never destroyed: a worker may still open the store while the process exits.
  static const auto* tables = [] {
    auto* model = new std::vector<Table>;
    sqlite3* handle = nullptr;
    std::string error;
    sqlite3_open_v2(":memory:", &handle, SQLITE_OPEN_READWRITE, nullptr);
    CreateTables(handle, &error);
    auto add = [&](const char* name, bool required) {
      std::optional<Table> table;
      if (ReadTable(handle, name, &table, &error) && table) {
        table->required = required;
        model->push_back(std::move(*table));
      }
    };
    for (const StoreTable& table : StoreTables())
      add(table.name, true);
    for (const AddedTable& table : AddedTables())
      add(table.name, false);
    sqlite3_close_v2(handle);
    return model;
  }();
  return *tables;
}

std::string Describe(const Column& column) {
  std::string text = column.type.empty() ? "(no type)" : column.type;
  if (column.keyPosition > 0)
    text += " PRIMARY KEY";
  if (column.notNull)
    text += " NOT NULL";
  if (column.defaultValue)
    text += " DEFAULT " + *column.defaultValue;
  return text;
}

// A table of another letter case, for the finding of a missing one.
std::string OtherCase(sqlite3* handle, const std::string& name) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  std::string ignored;
  Rows(handle, "select name from sqlite_schema where type='table' and name=?1 collate nocase",
       {name}, &rows, &ignored);
  return rows.empty() ? std::string() : rows[0][0].value_or("");
}

void CompareTable(const Table& model, const Table& found, std::vector<std::string>* problems) {
  const size_t before = problems->size();
  for (const Column& want : model.columns) {
    const Column* have = nullptr;
    for (const Column& column : found.columns) {
      if (column.name == want.name)
        have = &column;
    }
    const std::string name = "column " + model.name + "." + want.name;
    if (have == nullptr) {
      problems->push_back(name + " is missing");
    } else if (have->type != want.type || have->notNull != want.notNull ||
               have->defaultValue != want.defaultValue || have->keyPosition != want.keyPosition) {
      problems->push_back(name + " is " + Describe(*have) + ", not " + Describe(want));
    }
  }
  for (const Column& have : found.columns) {
    bool known = false;
    for (const Column& want : model.columns)
      known = known || have.name == want.name;
    if (!known)
      problems->push_back("column " + model.name + "." + have.name + " is not one of Brenlow's");
  }
  if (problems->size() != before)
    return;
  if (found.columns != model.columns)
    problems->push_back("the columns of table " + model.name + " are not in Brenlow's order");
  else if (found.definition != model.definition)
    problems->push_back("table " + model.name +
                        " holds constraints that brenlow --init-database does not make");
}

}  // namespace

std::vector<std::string> TableShapeProblems(sqlite3* handle) {
  std::vector<std::string> problems;
  for (const Table& model : ModelTables()) {
    std::optional<Table> found;
    std::string error;
    if (!ReadTable(handle, model.name, &found, &error)) {
      problems.push_back(error);
      return problems;
    }
    if (found) {
      CompareTable(model, *found, &problems);
    } else if (model.required) {
      std::string other = OtherCase(handle, model.name);
      problems.push_back("table " + model.name + " is missing" +
                         (other.empty() ? "" : " (" + other + " differs in letter case)"));
    }
  }
  return problems;
}

std::vector<std::string> TriggerAndViewProblems(sqlite3* handle) {
  std::vector<std::vector<std::optional<std::string>>> rows;
  std::string error;
  if (!Rows(handle,
            "select type, name, tbl_name from sqlite_schema where type in ('trigger','view') "
            "order by type, name",
            {}, &rows, &error)) {
    return {error};
  }
  std::vector<std::string> problems;
  for (const auto& row : rows) {
    if (row[0] == "trigger")
      problems.push_back("trigger " + row[1].value_or("") + " on table " + row[2].value_or("") +
                         ": a Brenlow database has no triggers");
    else
      problems.push_back("view " + row[1].value_or("") + ": a Brenlow database has no views");
  }
  return problems;
}

std::vector<std::string> ClassSizeProblems(sqlite3* handle) {
  std::vector<std::string> problems;
  std::string error;
  std::vector<std::vector<std::optional<std::string>>> rows;
  const std::string periods = std::to_string(kMaxPeriodsPerWeekday);
  const std::string courses = std::to_string(kMaxCourseRowsPerClass);
  if (!Rows(
          handle,
          "select BJName, Week, count(*) from tblkcTime group by BJName, Week having count(*) > " +
              periods + " order by BJName, Week",
          {}, &rows, &error)) {
    return {error};
  }
  for (const auto& row : rows)
    problems.push_back("class " + row[0].value_or("") + " has " + row[2].value_or("") +
                       " periods on " + row[1].value_or("") + " (at most " + periods + ")");
  rows.clear();
  if (!Rows(handle,
            "select BJName, count(*) from tblkc group by BJName having count(*) > " + courses +
                " order by BJName",
            {}, &rows, &error)) {
    problems.push_back(error);
    return problems;
  }
  for (const auto& row : rows)
    problems.push_back("class " + row[0].value_or("") + " has " + row[1].value_or("") +
                       " course rows (at most " + courses + ")");
  if (problems.size() > kListedFindings) {
    const size_t more = problems.size() - kListedFindings;
    problems.resize(kListedFindings);
    problems.push_back("and " + std::to_string(more) + " more classes too large");
  }
  return problems;
}

}  // namespace brenlow
