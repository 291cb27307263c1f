// The database file taken away from, replaced under, or made read-only under a running headless
// server, or a file that is no Brenlow database: the server reports each failure on stderr,
// never ends, and serves again once the file is back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "controllers/controller_datagram.h"
#include "net/ports.h"
#include "support/headless_server.h"
#include "support/read_only_file.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::ConnectWhenServed;
using testing::HeadlessServer;
using testing::HexBytes;
using testing::kOneTeacherListSize;
using testing::LoopbackAddress;
using testing::ReadOnlyFile;
using testing::RequestBytes;
using testing::TempDatabase;
using testing::WaitFor;

constexpr const char* kMac = "AA-01";
constexpr size_t kPeriodsReplySize = 35 * 120;

// A served server with one class and one teacher, and a terminal on each port.
class StoreFaultsProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班", controller_, kMac);
    store_.addTeacher("1", "张老师");
    server_ = std::make_unique<HeadlessServer>(store_.path());
    ASSERT_TRUE(server_->ready());
    terminal_ = ConnectWhenServed(kTerminalPort);
    client_ = ConnectWhenServed(kClientPort);
  }

  void TearDown() override {
    ASSERT_TRUE(server_->running()) << server_->errors();
    EXPECT_EQ(server_->stop(), 0) << server_->errors();
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

  // A power report from the class's controller.
  void report(bool on) {
    std::string error;
    static Socket socket = Socket::BindUdp(controller_, 0, &error);
    ASSERT_TRUE(socket.isOpen()) << error;
    std::vector<uint8_t> bytes = HexBytes(on ? "EB 00 00 00 40" : "EB 00 00 00 00");
    ASSERT_GT(socket.sendTo("127.0.0.1", kControllerListenPort, bytes.data(), bytes.size(), &error),
              0)
        << error;
  }

  // Runs sql on the file at path with a connection of its own.
  static void execAt(const std::string& path, const std::string& sql) {
    sqlite3* handle = nullptr;
    int opened =
        sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    EXPECT_EQ(opened, SQLITE_OK) << path;
    sqlite3_busy_timeout(handle, 10000);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
        << (message ? message : "") << " in: " << sql;
    sqlite3_free(message);
    sqlite3_close_v2(handle);
  }

  const std::string controller_ = LoopbackAddress(6);
  TempDatabase store_;
  std::unique_ptr<HeadlessServer> server_;
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
  // Said once with the path and how to make one, not at every request.
  const std::string missing = "brenlow: no such database: " + store_.path() +
                              "; create it with brenlow --init-database " + store_.path() + "\n";
  EXPECT_TRUE(server_->waitForError(missing, 2s));
  EXPECT_TRUE(server_->running());

  // Restored from the backup: both ports serve the restored file again.
  std::filesystem::copy_file(backup, store_.path());
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("9"));
  EXPECT_EQ(firstStartH(), "9");
  EXPECT_EQ(store_.value("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(countOf(missing), 1u) << server_->errors();
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

// A backup moved into place while the journal beside the old file still holds writes that were
// never moved into it, and the controller listener, whose connection lives as long as the
// server, keeps writing: everything goes to the new file, which stays intact.
TEST_F(StoreFaultsProgram, ReplacedFileIsNoticedByEveryThreadAndTheOldJournalNeverReachesIt) {
  ASSERT_EQ(periods().size(), kPeriodsReplySize);
  report(true);
  ASSERT_TRUE(WaitFor([&] { return store_.value("select Status from tblbj") == "1"; }));

  // The backup: this moment's content, in WAL mode like every Brenlow file, with a second class.
  const std::string backup = store_.folder() + "/backup.db";
  store_.exec("VACUUM INTO '" + backup + "'");
  execAt(backup, "PRAGMA journal_mode=WAL; Insert into tblbj (Name, Status) Values ('二班', 0);");
  // Writes that stay in the old file's journal: the server keeps it open, so nothing moves
  // them into the file.
  ASSERT_TRUE(edit("7"));
  store_.exec("Insert into tblbj (Name) Values ('旧班')");
  ASSERT_GT(std::filesystem::file_size(store_.path() + "-wal"), 0u);
  // The event writer has written the power change and the edit: its batch is not what meets
  // the replacement here (the listener's write is).
  ASSERT_TRUE(
      WaitFor([&] { return std::stoi(store_.value("select count(*) from tbl_events")) >= 2; }));

  ASSERT_EQ(::rename(backup.c_str(), store_.path().c_str()), 0);
  report(false);
  // Read the new file only once the server has emptied the old journal: until then a reader in
  // another process would take it for the new file's.
  ASSERT_TRUE(server_->waitForError("brenlow: database file replaced: " + store_.path(), 5s))
      << server_->errors();
  EXPECT_TRUE(WaitFor([&] {
    return store_.value("select Status from tblbj where Name='一班'") == "0";
  })) << "the listener writes into the new file";
  report(true);
  EXPECT_TRUE(
      WaitFor([&] { return store_.value("select Status from tblbj where Name='一班'") == "1"; }));
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("9"));
  EXPECT_EQ(firstStartH(), "9");

  EXPECT_EQ(store_.value("PRAGMA integrity_check"), "ok");
  EXPECT_EQ(store_.column("select Name from tblbj Order by ID"),
            (std::vector<std::string>{"一班", "二班"}));
  EXPECT_EQ(countOf("brenlow: database file replaced: " + store_.path()), 1u) << server_->errors();
}

// Files that are no Brenlow database are refused by name; the server serves again once a
// Brenlow database is at the path.
TEST_F(StoreFaultsProgram, FileThatIsNoBrenlowDatabaseIsReportedAndServiceResumesWithOne) {
  ASSERT_EQ(periods().size(), kPeriodsReplySize);
  store_.exec("PRAGMA wal_checkpoint(TRUNCATE)");
  const std::string backup = store_.folder() + "/backup.db";
  std::filesystem::copy_file(store_.path(), backup);
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
  };
  const Case cases[] = {
      {"another program's SQLite file",
       [](const std::string& path) { execAt(path, "Create table notes (text TEXT)"); }},
      {"a truncated copy",
       [&](const std::string& path) {
         std::filesystem::copy_file(backup, path);
         std::filesystem::resize_file(path, 1000);
       }},
      {"a text file", [](const std::string& path) { std::ofstream(path) << "Numb,Name\n"; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string made = store_.folder() + "/made.db";
    c.make(made);
    ASSERT_EQ(::rename(made.c_str(), store_.path().c_str()), 0);
    EXPECT_EQ(periods(500ms), "");
    EXPECT_TRUE(server_->waitForError("brenlow: not a Brenlow database: " + store_.path(), 2s))
        << server_->errors();
    EXPECT_TRUE(server_->running());
  }
  const std::string restored = store_.folder() + "/restored.db";
  std::filesystem::copy_file(backup, restored);
  ASSERT_EQ(::rename(restored.c_str(), store_.path().c_str()), 0);
  EXPECT_EQ(periods().size(), kPeriodsReplySize);
  ASSERT_TRUE(edit("9"));
  EXPECT_EQ(firstStartH(), "9");
}

}  // namespace
}  // namespace brenlow
