// The one schema check of `check`, `restore` and every open, against the hostile files it was
// made for: each is a fresh database bent by a few statements.
#include "data/store_check.h"

#include <gtest/gtest.h>

#include "data/added_tables.h"
#include "data/connection.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::TempDatabase;
using Lines = std::vector<std::string>;

// tblkc as --init-database makes it, under another name or with one change.
std::string CourseTable(const std::string& name, const std::string& extra = "") {
  return "Create table " + name +
         " (ID INTEGER PRIMARY KEY AUTOINCREMENT, BJName TEXT DEFAULT '', Monday TEXT DEFAULT "
         "'', Tuesday TEXT DEFAULT '', Wednesday TEXT DEFAULT '', Thursday TEXT DEFAULT '', "
         "Friday TEXT DEFAULT ''" +
         extra + ")";
}

// Whether a connection opens on the file, as the server's and the dialogs' do.
bool Opens(const std::string& path) {
  ReleaseThreadConnections();
  Status failure;
  bool opened = AcquireConnection(path, &failure) != nullptr;
  ReleaseThreadConnections();
  return opened;
}

TEST(StoreCheck, HostileFilesAreRefusedWithTheReason) {
  struct Case {
    const char* what;
    std::string sql;
    Lines problems;
    bool opens;  // triggers, views and sizes do not stop the server's open
  } cases[] = {
      {"a table in upper case",
       "Drop table tblkc; " + CourseTable("TBLKC"),
       {"table tblkc is missing (TBLKC differs in letter case)"},
       false},
      {"no key column",
       "Drop table tblkc; Create table tblkc (ID INTEGER, BJName TEXT DEFAULT '', Monday TEXT "
       "DEFAULT '', Tuesday TEXT DEFAULT '', Wednesday TEXT DEFAULT '', Thursday TEXT DEFAULT '', "
       "Friday TEXT DEFAULT '')",
       {"column tblkc.ID is INTEGER, not INTEGER PRIMARY KEY"},
       false},
      {"another column type",
       "Drop table tblkc; Create table tblkc (ID INTEGER PRIMARY KEY AUTOINCREMENT, BJName BLOB "
       "DEFAULT '', Monday TEXT DEFAULT '', Tuesday TEXT DEFAULT '', Wednesday TEXT DEFAULT '', "
       "Thursday TEXT DEFAULT '', Friday TEXT DEFAULT '')",
       {"column tblkc.BJName is BLOB DEFAULT '', not TEXT DEFAULT ''"},
       false},
      {"a column too many",
       "Alter table tblkc add column Saturday TEXT NOT NULL DEFAULT ''",
       {"column tblkc.Saturday is not one of Brenlow's"},
       false},
      {"a hidden constraint",
       "Drop table tblkc; " + CourseTable("tblkc", ", CHECK (Monday <> 'x')"),
       {"table tblkc holds constraints that brenlow --init-database does not make"},
       false},
      {"a trigger",
       "Create trigger wipe after update on tblbj begin delete from tblThMes; end; Create view "
       "names as select Name from tblbj",
       {"trigger wipe on table tblbj: a Brenlow database has no triggers",
        "view names: a Brenlow database has no views"},
       true},
      {"an oversized class",
       "With recursive n(i) as (select 1 union all select i + 1 from n where i < 8) "
       "Insert into tblkcTime (BJName, Week) select 'A', '星期二' from n; "
       "With recursive n(i) as (select 1 union all select i + 1 from n where i < 7) "
       "Insert into tblkcTime (BJName, Week) select 'A', '星期三' from n; "
       "With recursive n(i) as (select 1 union all select i + 1 from n where i < 9) "
       "Insert into tblkc (BJName) select 'B' from n",
       {"class A has 8 periods on 星期二 (at most 7)", "class B has 9 course rows (at most 7)"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDatabase store;
    store.exec(c.sql);
    EXPECT_EQ(CheckStoreSchema(store.path()).problems, c.problems);
    EXPECT_EQ(CheckStore(store.path()).problems, c.problems);
    EXPECT_EQ(Opens(store.path()), c.opens);
  }
}

TEST(StoreCheck, AFileAsInitDatabaseMakesItPassesEvenWithoutAnAddedTable) {
  TempDatabase store;
  store.addClass("一班");
  EXPECT_TRUE(CheckStore(store.path()).ok()) << CheckStore(store.path()).problems.front();
  for (const AddedTable& table : AddedTables())
    store.exec(std::string("Drop table ") + table.name);
  EXPECT_EQ(CheckStore(store.path()).problems, Lines{});
  EXPECT_TRUE(Opens(store.path()));
}

}  // namespace
}  // namespace brenlow
