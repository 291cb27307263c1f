// The database file taken away from, or made read-only under, a running headless server: the
// server reports each failure on stderr, never ends, and serves again once the file is back.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "support/program.h"
#include "support/read_only_file.h"
#include "support/served_program.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::ConnectWhenServed;
using testing::kOneTeacherListSize;
using testing::Program;
using testing::ProgramPath;
using testing::ReadOnlyFile;
using testing::RequestBytes;
using testing::TempDatabase;

constexpr const char* kMac = "AA-01";
constexpr size_t kPeriodsReplySize = 35 * 120;

// A served server with one class and one teacher, and a terminal on each port.
class StoreFaultsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", "", kMac);
    store_.addTeacher("1", "张老师");
    server_ = std::make_unique<Program>(
        ProgramPath(), std::vector<std::string>{"--headless", "--listen", "127.0.0.1", "--database",
                                                store_.path()});
    ASSERT_TRUE(server_->waitForError("headless server starting", 10s)) << server_->errors();
    terminal_ = ConnectWhenServed(kTerminalPort);
    client_ = ConnectWhenServed(kClientPort);
  }

  void TearDown() override {
    ASSERT_TRUE(server_->running()) << server_->errors();
    server_->signal(SIGTERM);
    EXPECT_EQ(server_->wait(5s), 0) << server_->errors();
  }

  // The bytes of the periods reply; empty when none came within wait.
  std::string periods(std::chrono::milliseconds wait = 5s) {
    EXPECT_TRUE(terminal_.send(RequestBytes(2, kMac)));
    return terminal_.receive(kPeriodsReplySize, wait);
  }

  // Sends a period edit writing startH into Monday's first period, and a teacher list request
  // behind it; true when the list came, that is, after the edit was carried out.
  bool edit(const std::string& startH, std::chrono::milliseconds wait = 5s) {
    PeriodEditRequest period;
    period.bjName = "一班";
    period.week = "星期一";
    period.startH = startH;
    EXPECT_TRUE(
        client_.send(PeriodEditRequestBytes(period) + RequestBytes(kTeacherListKind, kMac)));
    return client_.receive(kOneTeacherListSize, wait).size() == kOneTeacherListSize;
  }

  std::string firstStartH() const {
    return store_.value("select StartH from tblkcTime Order by ID limit 1");
  }

  // Replaces the file by a copy of itself (another inode, as a restore from a backup makes
  // it), after moving what the journal holds into the file.
  void replaceByCopy() {
    store_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const std::string copy = store_.path() + ".copy";
    std::filesystem::copy_file(store_.path(), copy);
    ASSERT_EQ(::rename(copy.c_str(), store_.path().c_str()), 0);
  }

  size_t countOf(const std::string& line) const {
    const std::string errors = server_->errors();
    size_t count = 0;
    for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
      ++count;
    return count;
  }

  TempDatabase store_;
  std::unique_ptr<Program> server_;
  TerminalConnection terminal_;
  TerminalConnection client_;
};

TEST_F(StoreFaultsProgram, RemovedFileIsReportedAndServiceResumesWhenItIsBack) {
  ASSERT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("7"));
  const std::string backup = store_.folder() + "/backup.db";
  store_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
  std::filesystem::copy_file(store_.path(), backup);

  ASSERT_EQ(::unlink(store_.path().c_str()), 0);
  EXPECT_EQ(periods(500ms), "");
  EXPECT_FALSE(edit("8", 500ms));  // the teacher list behind it cannot be read either
  EXPECT_TRUE(server_->waitForError("brenlow: unable to open database file\n", 2s));
  EXPECT_TRUE(server_->running());

  // Restored from the backup: both ports serve the restored file again.
  std::filesystem::copy_file(backup, store_.path());
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("9"));
  EXPECT_EQ(firstStartH(), "9");
  EXPECT_EQ(store_.value("PRAGMA integrity_check"), "ok");
}

TEST_F(StoreFaultsProgram, ReadOnlyFileIsStillReadAndRefusedWritesAreReportedUntilWritable) {
  ASSERT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("7"));
  replaceByCopy();
  ReadOnlyFile readOnly(store_.path());
  if (!readOnly.active())
    GTEST_SKIP() << readOnly.description();

  // Terminals are still answered; edits are refused by the store and each refusal is a line.
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  EXPECT_TRUE(edit("8"));
  EXPECT_TRUE(edit("8"));
  EXPECT_EQ(firstStartH(), "7");
  EXPECT_EQ(countOf("brenlow: attempt to write a readonly database\n"), 2u) << server_->errors();

  readOnly.release();
  ASSERT_TRUE(edit("9"));
  EXPECT_EQ(firstStartH(), "9");
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  EXPECT_EQ(countOf("brenlow: attempt to write a readonly database\n"), 2u) << server_->errors();
}

}  // namespace
}  // namespace brenlow
