// A database file that brenlow-admin only reads (the copy restore takes, the database check and
// backup read) is read without writing beside it, so a backup on read-only media restores: one
// in WAL mode as backup writes it, one with a rollback journal, and a hand copy of a live file
// with the committed pages still in its -wal.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <set>

#include "support/program.h"
#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using testing::Program;
using testing::TempDatabase;
using testing::ToolPath;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// brenlow-admin run with folder mounted read-only (a bind mount in a mount namespace of its own:
// even root cannot write there), or nullopt where this process may not make one.
std::optional<AdminRun> RunWithReadOnlyFolder(const std::string& folder,
                                              std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), {"-m", "sh", "-c",
                                       "mount --bind -o ro \"$1\" \"$1\" 2>/dev/null || exit 99; "
                                       "shift; exec \"$@\"",
                                       "sh", folder, ToolPath("brenlow-admin")});
  Program tool("/usr/bin/unshare", arguments);
  AdminRun run;
  run.code = tool.wait(std::chrono::seconds(30));
  run.output = tool.output();
  run.errors = tool.errors();
  if (run.code == 99 || run.errors.find("unshare:") != std::string::npos)
    return std::nullopt;
  return run;
}

class AdminReadOnlySource : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    media_ = store_.folder() + "/media";
    fs::create_directory(media_);
    ASSERT_EQ(run({"backup", media_ + "/wal.db"}).code, 0);
    fs::copy_file(media_ + "/wal.db", media_ + "/rollback.db");
    TempDatabase::ExecAt(media_ + "/rollback.db", "PRAGMA journal_mode=DELETE");
    copyLiveFileWithItsWal();
    store_.addClass("三班");
  }

  AdminRun run(std::vector<std::string> arguments) {
    return testing::RunAdmin(store_.path(), std::move(arguments));
  }

  // Copies the database while a connection holds a committed row ("二班") only in its -wal, as
  // a hand copy of a running server's files would be.
  void copyLiveFileWithItsWal() {
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(store_.path().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "PRAGMA wal_autocheckpoint=0; insert into tblbj (Name) values ('二班')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    for (const char* companion : {"", "-wal", "-shm"})
      fs::copy_file(store_.path() + companion, media_ + "/live" + companion);
    sqlite3_exec(writer, "delete from tblbj where Name='二班'", nullptr, nullptr, nullptr);
    sqlite3_close(writer);
  }

  Lines classes() const { return store_.column("select Name from tblbj order by ID"); }

  TempDatabase store_;
  std::string media_;
};

struct Source {
  const char* file;
  Lines classes;
};
const Source kSources[] = {
    {"wal.db", {"一班"}},
    {"rollback.db", {"一班"}},
    {"live", {"一班", "二班"}},
};

TEST_F(AdminReadOnlySource, RestoreAndCheckWriteNothingBesideTheFile) {
  const std::set<std::string> files = FilesIn(media_);
  for (const Source& source : kSources) {
    SCOPED_TRACE(source.file);
    const std::string path = media_ + "/" + source.file;
    AdminRun restore = run({"restore", path});
    EXPECT_EQ(restore.code, 0) << restore.errors;
    EXPECT_EQ(classes(), source.classes);
    AdminRun check = testing::RunAdmin(path, {"check"});
    EXPECT_EQ(check.output, "ok\n") << check.errors;
    EXPECT_EQ(FilesIn(media_), files);
  }
}

// check and backup only read the database: a user who may read a copy, and not write it, checks
// and copies it.
TEST_F(AdminReadOnlySource, AUserWhoMayOnlyReadACopyChecksAndCopiesIt) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "the other user needs root to run as";
  const std::string copy = media_ + "/wal.db";
  ASSERT_EQ(::chmod(store_.folder().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(media_.c_str(), 0755), 0);
  ASSERT_EQ(::chmod(copy.c_str(), 0644), 0);
  const std::set<std::string> files = FilesIn(media_);
  auto asStranger = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                         ToolPath("brenlow-admin"), "--database", copy});
    Program tool("/usr/bin/setpriv", arguments);
    AdminRun run;
    run.code = tool.wait(std::chrono::seconds(30));
    run.output = tool.output();
    run.errors = tool.errors();
    return run;
  };
  AdminRun check = asStranger({"check"});
  EXPECT_EQ(check.output, "ok\n") << check.errors;
  AdminRun backup =
      asStranger({"backup", "/tmp/" + fs::path(store_.folder()).filename().string() + "-copy.db"});
  EXPECT_EQ(backup.code, 0) << backup.errors;
  fs::remove("/tmp/" + fs::path(store_.folder()).filename().string() + "-copy.db");
  // Writing still needs both.
  AdminRun classes = asStranger({"class", "add", "四班", "10.0.0.4", "", "p"});
  EXPECT_EQ(classes.code, 1);
  EXPECT_NE(classes.errors.find("user nobody may not read and write it"), std::string::npos)
      << classes.errors;
  EXPECT_EQ(FilesIn(media_), files);
}

TEST_F(AdminReadOnlySource, ABackupOnReadOnlyMediaRestores) {
  for (const Source& source : kSources) {
    SCOPED_TRACE(source.file);
    const std::string path = media_ + "/" + source.file;
    std::optional<AdminRun> restore =
        RunWithReadOnlyFolder(media_, {"--database", store_.path(), "restore", path});
    if (!restore)
      GTEST_SKIP() << "no read-only mount can be made here (needs root and unshare -m)";
    EXPECT_EQ(restore->code, 0) << restore->errors;
    EXPECT_EQ(classes(), source.classes);
    std::optional<AdminRun> check = RunWithReadOnlyFolder(media_, {"--database", path, "check"});
    EXPECT_EQ(check->output, "ok\n") << check->errors;
  }
  // A -wal without its -shm cannot be read where the -shm cannot be made: the refusal says so,
  // rather than calling the file no database.
  fs::remove(media_ + "/live-shm");
  std::optional<AdminRun> restore =
      RunWithReadOnlyFolder(media_, {"--database", store_.path(), "restore", media_ + "/live"});
  EXPECT_EQ(restore->code, 1);
  EXPECT_NE(restore->errors.find(media_ + "/live-wal lies beside it without its -shm file"),
            std::string::npos)
      << restore->errors;
  EXPECT_EQ(restore->errors.find("not a Brenlow database"), std::string::npos) << restore->errors;
}

}  // namespace
}  // namespace brenlow
