#include "data/connection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <future>
#include <thread>

#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::TempDatabase;

// A batch writer has begun its transaction on the old file when another thread finds the file
// replaced: the old file's journal is still folded into it (its committed rows kept, the
// unfinished batch not), and the new file is read alone.
TEST(ConnectionReplacedFile, AnOpenTransactionOnTheOldFileDoesNotKeepItsJournal) {
  TempDatabase store;
  TempDatabase replacement;
  replacement.addClass("new");
  const std::string moved = store.path() + ".before";

  std::promise<void> begun;
  std::promise<void> replaced;
  std::thread writer([&] {
    Status failure;
    Connection* connection = AcquireConnection(store.path(), &failure);
    ASSERT_NE(connection, nullptr) << failure.message();
    ASSERT_TRUE(connection->execute("Insert into tblbj (Name) Values ('committed')", &failure));
    ASSERT_TRUE(connection->execute("BEGIN IMMEDIATE", &failure));
    ASSERT_TRUE(connection->execute("Insert into tblbj (Name) Values ('unfinished')", &failure));
    begun.set_value();
    replaced.get_future().wait();
    EXPECT_FALSE(connection->execute("COMMIT", &failure));
    EXPECT_TRUE(connection->closed());
    ReleaseThreadConnections();
  });
  begun.get_future().wait();

  ASSERT_EQ(std::rename(store.path().c_str(), moved.c_str()), 0);
  ASSERT_EQ(std::rename(replacement.path().c_str(), store.path().c_str()), 0);
  ::testing::internal::CaptureStderr();
  Status failure;
  Connection* connection = AcquireConnection(store.path(), &failure);
  const std::string log = ::testing::internal::GetCapturedStderr();
  replaced.set_value();
  writer.join();

  ASSERT_NE(connection, nullptr) << failure.message();
  EXPECT_EQ(log.find("could not be emptied"), std::string::npos) << log;
  EXPECT_NE(log.find("database file replaced"), std::string::npos) << log;
  RecordSet rows;
  ASSERT_TRUE(connection->query("select Name from tblbj Order by ID", &rows, &failure));
  ASSERT_EQ(rows.rowCount(), 1u);
  EXPECT_EQ(rows.fieldText("Name"), "new");
  ReleaseThreadConnections();
  EXPECT_EQ(TempDatabase::ColumnAt(moved, "select Name from tblbj Order by ID"),
            std::vector<std::string>{"committed"});
}

}  // namespace
}  // namespace brenlow
