// brenlow --set-credentials, run the way a script runs it: the user name and the password as two
// lines on standard input.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "app/credentials.h"
#include "support/program.h"
#include "support/program_login.h"
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

TEST(SetCredentialsProgram, AProgramOutsideTheInstallFolderKeepsThemBesideItself) {
  testing::ProgramCredentials restoredAfterwards("");
  std::string result = SetCredentials("u\\r\\np\\r\\n");  // line ends of a Windows editor
  EXPECT_NE(result.find("status 0"), std::string::npos) << result;
  Credentials written = LoadCredentials(ProgramPath() + ".ini");
  EXPECT_EQ(UnscrambleText(written.storedUserName, kUserNameOffset), "u");
  EXPECT_EQ(UnscrambleText(written.storedPassWord, kPassWordOffset), "p");
}

}  // namespace
}  // namespace brenlow
