// brenlow --set-credentials, run the way a script runs it: the user name and the password as two
// lines on standard input.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "credentials/credentials.h"
#include "support/program.h"
#include "support/program_login.h"
#include "support/wait_for.h"
#include "support/x_display.h"

namespace brenlow {
namespace {

using testing::ProgramPath;
using testing::Shell;

// Runs brenlow --set-credentials with input on standard input; its stderr and exit status.
std::string SetCredentials(const std::string& input, const std::string& arguments = "") {
  return Shell("printf '" + input + "' | " + ProgramPath() + " --set-credentials " + arguments +
               " 2>&1; echo \"status $?\"");
}

std::string Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

TEST(SetCredentialsProgram, WritesTheScrambledPairThatTheLoginAccepts) {
  QTemporaryDir folder;
  std::string path = folder.filePath("brenlow.ini").toStdString();
  std::string result = SetCredentials("admin\\nsecret\\n", "--credentials " + path);
  EXPECT_NE(result.find("credentials written to " + path), std::string::npos) << result;
  EXPECT_NE(result.find("status 0"), std::string::npos) << result;
  Credentials written = LoadCredentials(path);
  EXPECT_EQ(UnscrambleText(written.storedUserName, kUserNameOffset), "admin");
  EXPECT_EQ(UnscrambleText(written.storedPassWord, kPassWordOffset), "secret");
  struct stat file {};
  ASSERT_EQ(::stat(path.c_str(), &file), 0);
  EXPECT_EQ(file.st_mode & 07777, 0660u);

  // Refused input changes nothing and says why.
  const std::string before = Bytes(path);
  struct Case {
    const char* input;
    const char* why;
  } cases[] = {
      {"only-a-name\\n", "the input ended"},
      {"\\nsecret\\n", "请输入用户名和密码"},
      {"admin\\n\\n", "请输入用户名和密码"},
      {"管理员\\nsecret\\n", "用户名和密码只能使用英文字母、数字和常用符号!"},
      {"admin\\n0123456789012345678901234567890123456789\\n", "不能超过39个字符"},
  };
  for (const Case& c : cases) {
    result = SetCredentials(c.input, "--credentials " + path);
    EXPECT_NE(result.find(c.why), std::string::npos) << c.input << ": " << result;
    EXPECT_NE(result.find("status 1"), std::string::npos) << c.input << ": " << result;
  }
  EXPECT_EQ(Bytes(path), before);

  result =
      SetCredentials("u\\np\\n", "--credentials " + folder.filePath("none/x.ini").toStdString());
  EXPECT_NE(result.find("No such file or directory"), std::string::npos) << result;
  EXPECT_NE(result.find("status 1"), std::string::npos) << result;
}

// What a member of the group could put where root writes the credentials: the file it names
// keeps its contents, the thing itself stays, and the refusal names it in one line.
TEST(SetCredentialsProgram, RefusesALinkOrASpecialFileWithoutFollowingOrWaiting) {
  QTemporaryDir folder;
  const std::string shadow = folder.filePath("shadow").toStdString();
  std::ofstream(shadow) << "root:*:19000:0:99999:7:::\n";
  ::chmod(shadow.c_str(), 0640);
  const std::string link = folder.filePath("link.ini").toStdString();
  std::filesystem::create_symlink(shadow, link);
  const std::string dangling = folder.filePath("dangling.ini").toStdString();
  std::filesystem::create_symlink(folder.filePath("nowhere").toStdString(), dangling);
  const std::string fifo = folder.filePath("fifo.ini").toStdString();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0660), 0);
  struct Case {
    std::string path;
    std::string kind;
  } cases[] = {
      {link, "a symbolic link"},
      {dangling, "a symbolic link"},
      {fifo, "a FIFO"},
  };
  for (const Case& c : cases) {
    std::string result =
        Shell("printf 'u\\np\\n' | timeout 20 " + ProgramPath() +
              " --set-credentials --credentials " + c.path + " 2>&1; echo \"status $?\"");
    EXPECT_EQ(result, "brenlow: " + c.path + " is " + c.kind +
                          ", not a regular file; the credentials were not changed\nstatus 1\n");
    struct stat entry {};
    ASSERT_EQ(::lstat(c.path.c_str(), &entry), 0) << c.path;
    EXPECT_FALSE(S_ISREG(entry.st_mode)) << c.path << " was replaced";
  }
  EXPECT_EQ(Bytes(shadow), "root:*:19000:0:99999:7:::\n");
  struct stat target {};
  ASSERT_EQ(::stat(shadow.c_str(), &target), 0);
  EXPECT_EQ(target.st_mode & 07777, 0640u);
  EXPECT_FALSE(std::filesystem::exists(folder.filePath("nowhere").toStdString()));
}

TEST(SetCredentialsProgram, AProgramOutsideTheInstallFolderKeepsThemBesideItself) {
  testing::ProgramCredentials restoredAfterwards("");
  std::string result = SetCredentials("u\\r\\np\\r\\n");  // line ends of a Windows editor
  EXPECT_NE(result.find("status 0"), std::string::npos) << result;
  Credentials written = LoadCredentials(ProgramPath() + ".ini");
  EXPECT_EQ(UnscrambleText(written.storedUserName, kUserNameOffset), "u");
  EXPECT_EQ(UnscrambleText(written.storedPassWord, kPassWordOffset), "p");
}

// The program is stopped at the password prompt (Ctrl-C, a kill, the terminal closed): the
// terminal gets its echo back.
TEST(SetCredentialsProgram, ASignalAtThePasswordPromptLeavesTheEchoOn) {
  QTemporaryDir folder;
  const std::string path = folder.filePath("brenlow.ini").toStdString();
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    int terminal = -1;
    int device = -1;
    ASSERT_EQ(::openpty(&terminal, &device, nullptr, nullptr, nullptr), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::setsid();
      ::ioctl(device, TIOCSCTTY, 0);
      ::dup2(device, STDIN_FILENO);
      ::dup2(device, STDOUT_FILENO);
      ::dup2(device, STDERR_FILENO);
      ::execl(ProgramPath().c_str(), "brenlow", "--set-credentials", "--credentials", path.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    std::string shown;
    auto prompted = [&] { return shown.find("Password: ") != std::string::npos; };
    ASSERT_EQ(::write(terminal, "admin\n", 6), 6);
    for (int i = 0; i < 200 && !prompted(); ++i) {
      pollfd ready{terminal, POLLIN, 0};
      if (::poll(&ready, 1, 50) > 0) {
        char bytes[256];
        ssize_t got = ::read(terminal, bytes, sizeof bytes);
        if (got > 0)
          shown.append(bytes, static_cast<size_t>(got));
      }
    }
    EXPECT_TRUE(prompted()) << shown;
    // The prompt is written before the echo goes off: wait for that, too.
    termios settings{};
    testing::WaitFor(
        [&] { return ::tcgetattr(device, &settings) == 0 && (settings.c_lflag & ECHO) == 0; });
    EXPECT_EQ(settings.c_lflag & ECHO, 0u) << "echo is off at the password prompt";
    ::kill(child, number);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == number) << number;
    ASSERT_EQ(::tcgetattr(device, &settings), 0);
    EXPECT_NE(settings.c_lflag & ECHO, 0u) << "signal " << number;
    ::close(terminal);
    ::close(device);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace brenlow
