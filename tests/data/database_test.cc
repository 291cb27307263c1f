#include "data/database.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "data/connection.h"
#include "support/read_only_file.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::ReadOnlyFile;
using testing::RecordingMessages;
using testing::TempDatabase;

TEST(Database, AbsentFileShowsOneMessageThenQueriesAreInvalid) {
  RecordingMessages messages;
  Database db;
  db.setPath("/nonexistent-folder/absent.db");
  EXPECT_EQ(db.connectionText(), "Data Source=/nonexistent-folder/absent.db");
  EXPECT_FALSE(db.open());
  ASSERT_EQ(messages.texts(),
            std::vector<std::string>{"no such database: /nonexistent-folder/absent.db; create it "
                                     "with brenlow --init-database /nonexistent-folder/absent.db"});
  EXPECT_EQ(messages.messages()[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(messages.messages()[0].caption, kApplicationTitle);

  RecordSet rows = db.query("select * from tblbj Order by ID");
  EXPECT_FALSE(rows.isValid());
  try {
    rows.isEof();
    FAIL() << "isEof on an invalid RecordSet must throw";
  } catch (const DatabaseError& error) {
    EXPECT_EQ(error.code(), kInvalidHandleCode);
  }
  // A statement on a connection that never opened fails with a message of its own.
  EXPECT_FALSE(db.execute("Update tblbj set Status=0"));
  EXPECT_EQ(messages.texts().size(), 2u);
  db.close();  // nothing visible
  EXPECT_EQ(messages.texts().size(), 2u);
}

TEST(Database, ReadsRowsAsTextInIdOrder) {
  TempDatabase store;
  RecordingMessages messages;
  store.exec(
      "Insert into tblbj (Name, Status) Values ('B', 7); Insert into tblbj (Name) Values ('A')");
  Database db = store.store().database();
  ASSERT_TRUE(db.open());

  RecordSet none = db.query("select * from tblbj where Name='nobody' Order by ID");
  ASSERT_TRUE(none.isValid());
  EXPECT_TRUE(none.isEof());

  RecordSet rows = db.query("select * from tblbj Order by ID");
  ASSERT_FALSE(rows.isEof());
  EXPECT_EQ(rows.fieldText("Name"), "B");
  EXPECT_EQ(rows.fieldText("Status"), "7");  // a number column reads as decimal text
  EXPECT_EQ(rows.fieldText("id"), "1");      // names are matched like the store matches them
  rows.moveNext();
  EXPECT_EQ(rows.fieldText("Name"), "A");
  EXPECT_EQ(rows.fieldText("Status"), "0");  // defaults never read back NULL
  EXPECT_EQ(rows.fieldText("PCIP"), "");
  rows.moveNext();
  EXPECT_TRUE(rows.isEof());
  EXPECT_THROW(rows.fieldText("Name"), DatabaseError);
  EXPECT_THROW(rows.moveNext(), DatabaseError);
  rows.close();
  EXPECT_THROW(rows.isEof(), DatabaseError);
  EXPECT_TRUE(messages.texts().empty());
}

TEST(Database, NullAndUnknownColumnsThrowTheirCodes) {
  TempDatabase store;
  store.exec("Insert into tblkcTime (BJName, StartH) Values ('A', NULL)");
  Database db = store.store().database();
  db.open();
  RecordSet rows = db.query("select * from tblkcTime Order by ID");
  try {
    rows.fieldText("StartH");
    FAIL();
  } catch (const DatabaseError& error) {
    EXPECT_EQ(error.code(), kTypeMismatchCode);
  }
  try {
    rows.fieldText("NoSuchColumn");
    FAIL();
  } catch (const DatabaseError& error) {
    EXPECT_EQ(error.code(), kNoSuchColumnCode);
  }
}

TEST(Database, TextWithQuotesRoundTripsThroughFormattedStatements) {
  TempDatabase store;
  RecordingMessages messages;
  Database db = store.store().database();
  db.open();
  const std::string name = "O'Brien's class'; drop table tblbj; --";
  ASSERT_TRUE(
      db.execute(FormatStatement("Insert into tblbj (Name, Status) Values ('%s', %d)", name, 1)));
  RecordSet rows =
      db.query(FormatStatement("select * from tblbj where Name='%s' Order by ID", name));
  ASSERT_FALSE(rows.isEof());
  EXPECT_EQ(rows.fieldText("Name"), name);
  std::string id = rows.fieldText("ID");
  ASSERT_TRUE(
      db.execute(FormatStatement("Update tblbj set Pass='%s' where ID=%s", "x'y", RowId{id})));
  EXPECT_EQ(store.value("select Pass from tblbj"), "x'y");
  EXPECT_EQ(store.value("select count(*) from tblbj"), "1");
  EXPECT_TRUE(messages.texts().empty());
}

TEST(Database, FailingStatementShowsTheStoresTextAndReturnsFalse) {
  TempDatabase store;
  RecordingMessages messages;
  Database db = store.store().database();
  db.open();
  EXPECT_FALSE(db.execute("Update nosuchtable set x=1"));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"no such table: nosuchtable"});
  EXPECT_FALSE(db.query("select * from nosuchtable").isValid());
  EXPECT_EQ(messages.texts().size(), 1u);  // queries fail silently
}

TEST(Database, QueriesSeeWritesOfOtherConnectionsAtOnce) {
  TempDatabase store;
  Database db = store.store().database();
  db.open();
  EXPECT_TRUE(db.query("select * from tblbj Order by ID").isEof());
  store.exec("Insert into tblbj (Name) Values ('new')");
  RecordSet rows = db.query("select * from tblbj Order by ID");
  ASSERT_FALSE(rows.isEof());
  EXPECT_EQ(rows.fieldText("Name"), "new");
}

TEST(Database, RemovedFileFailsUntilItIsBack) {
  RecordingMessages messages;
  TempDatabase store;
  store.addClass("A");
  {
    Database db = store.store().database();
    ASSERT_TRUE(db.open());
  }
  std::string moved = store.path() + ".moved";
  ASSERT_EQ(::rename(store.path().c_str(), moved.c_str()), 0);
  {
    Database db = store.store().database();
    EXPECT_FALSE(db.open());
    EXPECT_FALSE(db.query("select * from tblbj Order by ID").isValid());
  }
  ASSERT_EQ(::rename(moved.c_str(), store.path().c_str()), 0);
  Database db = store.store().database();
  EXPECT_TRUE(db.open());
  EXPECT_EQ(db.query("select * from tblbj Order by ID").rowCount(), 1u);
}

TEST(Database, AnOpenDatabaseOutlivesTheThreadsConnections) {
  TempDatabase store;
  store.addClass("A");
  Database db = store.store().database();
  ASSERT_TRUE(db.open());
  ReleaseThreadConnections();  // the connection the Database opened is gone
  EXPECT_EQ(db.query("select * from tblbj Order by ID").rowCount(), 1u);
  EXPECT_TRUE(db.execute("Update tblbj set Status=1"));
  EXPECT_EQ(store.value("select Status from tblbj"), "1");
}

TEST(Database, ReadOnlyFileServesReadsFailsWritesAndWritesAgainOnceWritable) {
  RecordingMessages messages;
  TempDatabase store;
  store.addClass("A");
  Database db = store.store().database();
  ASSERT_TRUE(db.open());
  ReadOnlyFile readOnly(store.path());
  if (!readOnly.active())
    GTEST_SKIP() << readOnly.description();
  // The next connection finds the file read-only (a connection already open would go on
  // writing into the journal: the file itself is not written before a checkpoint).
  ReleaseThreadConnections();
  ASSERT_TRUE(db.open());
  EXPECT_EQ(db.query("select * from tblbj Order by ID").rowCount(), 1u);
  EXPECT_FALSE(db.execute("Update tblbj set Status=1"));
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"attempt to write a readonly database"});

  // The next operation writes again.
  readOnly.release();
  ASSERT_TRUE(db.open());
  EXPECT_TRUE(db.execute("Update tblbj set Status=1"));
  EXPECT_EQ(store.value("select Status from tblbj"), "1");
}

TEST(FailureText, FallbackTextsForCodesWithoutText) {
  EXPECT_EQ(FailureText(0x80040E14, ""), "IDispatch error #3092");
  EXPECT_EQ(FailureText(0x80004005, ""), "Unknown error 0x80004005");
  EXPECT_EQ(FailureText(1, "near \"x\": syntax error\r\n"), "near \"x\": syntax error");
  EXPECT_EQ(FailureText(1, "text\n"), "text");
}

}  // namespace
}  // namespace brenlow
