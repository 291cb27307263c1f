#include "data/statement.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "data/connection.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

TEST(Statement, FormatsTextsIntegersAndIdsAsTheTemplateSays) {
  Statement statement = FormatStatement(
      "Update tblkcTime set  StartH='%s', StartM='%s', EndH='%s', EndM='%s',AutoOn=%d,AutoOff=%d "
      ",ThName='%s' where ID=%s",
      "8", "0", "8", "45", 1, 0, "A'B(1)", RowId{"12"});
  EXPECT_EQ(statement.text(),
            "Update tblkcTime set  StartH='8', StartM='0', EndH='8', EndM='45',AutoOn=1,AutoOff=0 "
            ",ThName='A''B(1)' where ID=12");
  EXPECT_EQ(statement.values().size(), 8u);
}

TEST(Statement, PlaceholderJoinedToAKeywordStaysAPlaceholder) {
  Statement statement = FormatStatement(
      "select * from tblkcTime where BJName = '%s'and Week='%s' Order by ID", "A", "星期一");
  EXPECT_EQ(statement.text(),
            "select * from tblkcTime where BJName = 'A'and Week='星期一' Order by ID");
  EXPECT_EQ(statement.shape(), "select * from tblkcTime where BJName = ? and Week=?  Order by ID");
}

TEST(Statement, MismatchedArgumentsAreProgrammingErrors) {
  EXPECT_THROW(FormatStatement("x='%s'", 1), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d", "a"), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d and y=%d", 1), std::logic_error);
  EXPECT_THROW(FormatStatement("x=%d", 1, 2), std::logic_error);
  EXPECT_THROW(FormatStatement("ID=%s", "12"), std::logic_error);
}

TEST(Statement, AnIdThatIsNotANumberIsQuotedNotPutBare) {
  EXPECT_EQ(FormatStatement("delete from tblbj where ID=%s", RowId{"1 or 1=1"}).text(),
            "delete from tblbj where ID='1 or 1=1'");
}

// What the store receives: every statement a connection of this process runs, as SQLite saw
// it. Installed as an automatic extension, so it watches the connections the code under test
// opens itself.
struct Received {
  std::string shape;     // the statement as prepared, placeholders and all
  std::string expanded;  // the same with the bound values written in by SQLite
  int parameters = 0;
};

std::vector<Received>& ReceivedStatements() {
  static std::vector<Received> received;
  return received;
}

int RecordStatement(unsigned, void*, void* prepared, void*) {
  auto* statement = static_cast<sqlite3_stmt*>(prepared);
  char* expanded = sqlite3_expanded_sql(statement);
  ReceivedStatements().push_back({sqlite3_sql(statement), expanded != nullptr ? expanded : "<none>",
                                  sqlite3_bind_parameter_count(statement)});
  sqlite3_free(expanded);
  return 0;
}

int WatchConnection(sqlite3* handle, char**, const sqlite3_api_routines*) {
  return sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, RecordStatement, nullptr);
}

// A fresh store whose connections report what they run.
class StoreReceives : public ::testing::Test {
 protected:
  StoreReceives() {
    // A function taking no arguments is the documented type of an automatic extension.
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(WatchConnection));
  }
  ~StoreReceives() override {
    ReleaseThreadConnections();
    sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(WatchConnection));
  }

  // Runs statement on the store's connection and returns what the store received for it.
  Received run(const Statement& statement) {
    Status failure;
    Connection* connection = AcquireConnection(store_.path(), &failure);
    EXPECT_NE(connection, nullptr) << failure.message();
    if (connection == nullptr)
      return {};
    ReceivedStatements().clear();
    EXPECT_TRUE(connection->execute(statement, &failure)) << failure.message();
    EXPECT_EQ(ReceivedStatements().size(), 1u);
    return ReceivedStatements().empty() ? Received{} : ReceivedStatements().back();
  }

  testing::TempDatabase store_;
};

// The store is handed the shape with one placeholder per value and the values bound to them,
// never the formatted text: SQLite writes the bound values back in as the formatted text
// would have them.
TEST_F(StoreReceives, TheShapeWithEachValueBoundToItsPlaceholder) {
  struct Case {
    Statement statement;
    const char* shape;
    std::vector<Statement::Value> values;
    const char* expanded;
  };
  const Case cases[] = {
      {FormatStatement("Update tblkcTime set  StartH='%s', AutoOn=%d ,ThName='%s' where ID=%s", "8",
                       1, "A'B(1)", RowId{"12"}),
       "Update tblkcTime set  StartH=? , AutoOn=?  ,ThName=?  where ID=? ",
       {std::string("8"), int64_t{1}, std::string("A'B(1)"), int64_t{12}},
       "Update tblkcTime set  StartH='8' , AutoOn=1  ,ThName='A''B(1)'  where ID=12 "},
      {FormatStatement("select * from tblkcTime where BJName = '%s'and Week='%s' Order by ID",
                       "一班", "星期一"),
       "select * from tblkcTime where BJName = ? and Week=?  Order by ID",
       {std::string("一班"), std::string("星期一")},
       "select * from tblkcTime where BJName = '一班' and Week='星期一'  Order by ID"},
      // An ID that is no number is bound as a text: it names no row and runs no SQL.
      {FormatStatement("delete from tblbj where ID=%s", RowId{"1 or 1=1"}),
       "delete from tblbj where ID=? ",
       {std::string("1 or 1=1")},
       "delete from tblbj where ID='1 or 1=1' "},
      {Statement("delete from tblkc where BJName=''"),
       "delete from tblkc where BJName=''",
       {},
       "delete from tblkc where BJName=''"},
  };
  store_.addClass("一班");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement.text());
    EXPECT_EQ(c.statement.shape(), c.shape);
    EXPECT_EQ(c.statement.values(), c.values);
    Received received = run(c.statement);
    EXPECT_EQ(received.shape, c.shape);
    EXPECT_EQ(received.parameters, static_cast<int>(c.values.size()));
    EXPECT_EQ(received.expanded, c.expanded);
  }
  EXPECT_EQ(store_.value("select count(*) from tblbj"), "1");
}

// A text holding quotes, blanks and non-ASCII characters arrives and is stored as it stands.
TEST_F(StoreReceives, TextsAreStoredIntact) {
  const std::string name = "O'Brien '); drop table tblbj; --  张";
  Received received =
      run(FormatStatement("insert into tblThMes (Numb, Name) values('%s','%s')", "7", name));
  EXPECT_EQ(received.shape, "insert into tblThMes (Numb, Name) values(? ,? )");
  EXPECT_EQ(store_.value("select Name from tblThMes where Numb='7'"), name);
  EXPECT_EQ(store_.value("select count(*) from tblbj"), "0");
}

}  // namespace
}  // namespace brenlow
