#include "data/database_access.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>
#include <functional>

namespace brenlow {
namespace {

// Runs check as a user who is not the file's owner and in none of its groups (nobody, when the
// test runs as root); the child's exit code is check's result.
bool AsAStranger(const std::function<bool()>& check) {
  pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0) {
      gid_t nogroup = 65534;
      if (setgroups(1, &nogroup) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
        _exit(2);
    }
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(DatabaseAccess, AStrangerIsToldTheFileAndTheGroupToJoin) {
  QTemporaryDir folder;
  std::string path = folder.filePath("brenlow.db").toStdString();
  EXPECT_EQ(DatabaseAccessProblem(path), std::nullopt) << "a missing file is reported elsewhere";
  std::ofstream(path) << "x";
  EXPECT_EQ(DatabaseAccessProblem(path), std::nullopt) << "the owner may";
  std::string group = getgrgid(getegid()) ? getgrgid(getegid())->gr_name : "";

  ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0755), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0660), 0);
  EXPECT_TRUE(AsAStranger([&] {
    std::optional<std::string> problem = DatabaseAccessProblem(path);
    return problem && problem->find(path) != std::string::npos &&
           problem->find("用户组 " + group) != std::string::npos;
  })) << "the file's mode keeps others out";

  // The installed folder is 2770: others cannot even reach the file.
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 02770), 0);
  EXPECT_TRUE(AsAStranger([&] {
    std::optional<std::string> problem = DatabaseAccessProblem(path);
    return problem && problem->find(path) != std::string::npos &&
           problem->find("用户组 " + group) != std::string::npos;
  })) << "the folder's mode keeps others out";
}

}  // namespace
}  // namespace brenlow
