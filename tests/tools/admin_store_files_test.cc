// The files brenlow-admin writes for people (backups, saved copies, exports) and the files it
// takes as a database (restore): written whole, never wider than the database, never onto the
// database, never through a link, never replacing a saved copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using testing::RunAdmin;
using testing::TempDatabase;
using Lines = std::vector<std::string>;

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned ModeOf(const std::string& path) {
  struct stat file {};
  EXPECT_EQ(::stat(path.c_str(), &file), 0) << path;
  return file.st_mode & 07777;
}

Lines ClassesIn(const std::string& path) {
  return TempDatabase::ColumnAt(path, "select Name from tblbj order by ID");
}

// "restored X from Y; the database as it was is in PATH"
std::string SavedCopyOf(const AdminRun& run) {
  const std::string marker = "the database as it was is in ";
  size_t at = run.output.find(marker);
  EXPECT_NE(at, std::string::npos) << run.output << run.errors;
  if (at == std::string::npos)
    return {};
  std::string path = run.output.substr(at + marker.size());
  return path.substr(0, path.find('\n'));
}

class AdminStoreFiles : public ::testing::Test {
 protected:
  void SetUp() override { umaskBefore_ = ::umask(022); }
  void TearDown() override { ::umask(umaskBefore_); }
  AdminRun run(std::vector<std::string> arguments) {
    return RunAdmin(store_.path(), std::move(arguments));
  }

  TempDatabase store_;
  mode_t umaskBefore_ = 0;
};

TEST_F(AdminStoreFiles, RestoresInOneSecondEachKeepTheirOwnSavedCopy) {
  store_.addClass("一班");
  const std::string copy = store_.folder() + "/copy.db";
  ASSERT_EQ(run({"backup", copy}).code, 0);
  store_.addClass("二班");
  AdminRun first = run({"restore", copy});
  ASSERT_EQ(first.code, 0) << first.errors;
  store_.addClass("三班");
  AdminRun second = run({"restore", copy});
  ASSERT_EQ(second.code, 0) << second.errors;
  const std::string firstSaved = SavedCopyOf(first);
  const std::string secondSaved = SavedCopyOf(second);
  EXPECT_NE(firstSaved, secondSaved);
  EXPECT_EQ(ClassesIn(firstSaved), (Lines{"一班", "二班"}));
  EXPECT_EQ(ClassesIn(secondSaved), (Lines{"一班", "三班"}));
  EXPECT_EQ(ClassesIn(store_.path()), Lines{"一班"});
}

TEST_F(AdminStoreFiles, CopiesAndExportsAreNeverWiderThanTheDatabase) {
  store_.addTeacher("12", "张三");
  for (unsigned databaseMode : {0660u, 0600u}) {
    SCOPED_TRACE(databaseMode);
    ASSERT_EQ(::chmod(store_.path().c_str(), databaseMode), 0);
    const unsigned expected = databaseMode & ~022u;
    const std::string backup = store_.folder() + "/backup-" + std::to_string(databaseMode);
    ASSERT_EQ(run({"backup", backup}).code, 0);
    EXPECT_EQ(ModeOf(backup), expected);
    const std::string exported = store_.folder() + "/teachers-" + std::to_string(databaseMode);
    ASSERT_EQ(run({"export-teachers", exported}).code, 0);
    EXPECT_EQ(ModeOf(exported), expected);
    AdminRun restored = run({"restore", backup});
    ASSERT_EQ(restored.code, 0) << restored.errors;
    EXPECT_EQ(ModeOf(SavedCopyOf(restored)), expected);
  }
  // Nothing half-written is left beside them.
  for (const auto& entry : std::filesystem::directory_iterator(store_.folder()))
    EXPECT_EQ(entry.path().string().find(".new-"), std::string::npos) << entry.path();
}

TEST_F(AdminStoreFiles, NothingIsWrittenOntoTheDatabaseItsCompanionsALinkOrAFifo) {
  store_.addClass("一班");
  store_.addTeacher("12", "张三");
  const std::string shadow = store_.folder() + "/shadow";
  std::ofstream(shadow) << "root:*:19000:0:99999:7:::\n";
  const std::string link = store_.folder() + "/link.csv";
  std::filesystem::create_symlink(shadow, link);
  const std::string fifo = store_.folder() + "/fifo.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string target;
    std::string why;
  } cases[] = {
      {store_.path(), store_.path() + " is the database itself"},
      {store_.path() + "-wal", store_.path() + "-wal is the database's wal file"},
      {store_.path() + "-shm", store_.path() + "-shm is the database's shm file"},
      {store_.path() + "-journal", store_.path() + "-journal is the database's journal file"},
      {link, link + " is a symbolic link, not a regular file"},
      {fifo, fifo + " is a FIFO, not a regular file"},
  };
  for (const Case& c : cases) {
    for (const char* command : {"backup", "export-teachers"}) {
      SCOPED_TRACE(std::string(command) + " " + c.target);
      AdminRun result = run({command, c.target});
      EXPECT_EQ(result.code, 1);
      EXPECT_NE(result.errors.find(c.why), std::string::npos) << result.errors;
      EXPECT_EQ(std::count(result.errors.begin(), result.errors.end(), '\n'), 1) << result.errors;
    }
  }
  EXPECT_EQ(Bytes(shadow), "root:*:19000:0:99999:7:::\n");
  EXPECT_FALSE(std::filesystem::exists(store_.path() + "-journal"));
  AdminRun check = run({"check"});
  EXPECT_EQ(check.output, "ok\n") << check.errors;
  EXPECT_EQ(ClassesIn(store_.path()), Lines{"一班"});
}

// A restored file with a trigger would run hidden statements at the server's next write: it is
// refused before anything is written, and no saved copy is made.
TEST_F(AdminStoreFiles, AHostileRestoreLeavesTheLiveDatabaseUntouched) {
  store_.addClass("一班");
  store_.addTeacher("12", "张三");
  const std::string hostile = store_.folder() + "/hostile.db";
  ASSERT_EQ(run({"backup", hostile}).code, 0);
  TempDatabase::ExecAt(hostile,
                       "Create trigger wipe after update on tblbj begin delete from tblThMes; end");
  AdminRun restore = run({"restore", hostile});
  EXPECT_EQ(restore.code, 1);
  EXPECT_NE(restore.errors.find("trigger wipe on table tblbj: a Brenlow database has no triggers"),
            std::string::npos)
      << restore.errors;
  EXPECT_EQ(store_.value("select count(*) from sqlite_schema where type='trigger'"), "0");
  for (const auto& entry : std::filesystem::directory_iterator(store_.folder()))
    EXPECT_EQ(entry.path().string().find(".before-restore-"), std::string::npos) << entry.path();
}

}  // namespace
}  // namespace brenlow
