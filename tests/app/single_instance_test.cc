#include "app/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <filesystem>

namespace brenlow {
namespace {

TEST(SingleInstance, OneHolderPerDatabaseUntilItEnds) {
  QTemporaryDir folder;
  const std::string database = folder.filePath("brenlow.db").toStdString();
  const mode_t umaskBefore = ::umask(0077);
  {
    SingleInstance first(database);
    ASSERT_EQ(first.acquire(), SingleInstance::Result::kAcquired) << first.error();
    EXPECT_EQ(first.acquire(), SingleInstance::Result::kAcquired) << "held already";
    SingleInstance second(database);
    EXPECT_EQ(second.acquire(), SingleInstance::Result::kTaken);
    SingleInstance otherDatabase(folder.filePath("other.db").toStdString());
    EXPECT_EQ(otherDatabase.acquire(), SingleInstance::Result::kAcquired);

    // Another process sees it taken, too (flock is per open file, not per process).
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SingleInstance inChild(database);
      ::_exit(inChild.acquire() == SingleInstance::Result::kTaken ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ::umask(umaskBefore);
  // The group may take it in turn, whatever the umask of the copy that made it.
  struct stat lock {};
  ASSERT_EQ(::stat(SingleInstanceLockPath(database).c_str(), &lock), 0);
  EXPECT_EQ(lock.st_mode & 07777, 0660u);
  SingleInstance afterTheFirstEnded(database);
  EXPECT_EQ(afterTheFirstEnded.acquire(), SingleInstance::Result::kAcquired);
}

TEST(SingleInstance, ALinkInPlaceOfTheLockFileIsNotFollowed) {
  QTemporaryDir folder;
  const std::string database = folder.filePath("brenlow.db").toStdString();
  const std::string target = folder.filePath("elsewhere").toStdString();
  std::filesystem::create_symlink(target, SingleInstanceLockPath(database));
  SingleInstance instance(database);
  EXPECT_EQ(instance.acquire(), SingleInstance::Result::kFailed);
  EXPECT_EQ(instance.error(), SingleInstanceLockPath(database) + ": a symbolic link");
  EXPECT_FALSE(std::filesystem::exists(target));

  SingleInstance noFolder(folder.filePath("none/brenlow.db").toStdString());
  EXPECT_EQ(noFolder.acquire(), SingleInstance::Result::kFailed);
  EXPECT_NE(noFolder.error().find("No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace brenlow
