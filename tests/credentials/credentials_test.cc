#include "credentials/credentials.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "credentials/credentials_location.h"

namespace brenlow {
namespace {

QString Latin1(const char* bytes) {
  return QString::fromLatin1(bytes);
}

TEST(Credentials, ScramblingShiftsEachCodeAndKeepsTheLowEightBits) {
  struct Case {
    QString plain;
    int offset;
    QString stored;
  } cases[] = {
      {"586", kUserNameOffset, "RUS"},
      {"a~", kUserNameOffset, Latin1("~\x9b")},  // '~' + 29 = 0x9B: a byte above 0x7F
      {"ab", kPassWordOffset, Latin1("\x86\x87")},
      {QString(QChar(0xE3)), kUserNameOffset, QString(QChar(0x00))},  // wraps past 0xFF
      {"", kPassWordOffset, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScrambleText(c.plain, c.offset), c.stored) << c.plain.toStdString();
    EXPECT_EQ(UnscrambleText(c.stored, c.offset), c.plain) << c.plain.toStdString();
  }
  EXPECT_EQ(ScrambleText(QString(39, 'x'), kUserNameOffset)->size(), 39);
  EXPECT_EQ(ScrambleText(QString(40, 'x'), kUserNameOffset), std::nullopt);
  EXPECT_EQ(UnscrambleText(QString(40, 'x'), kPassWordOffset), std::nullopt);
}

TEST(Credentials, OnlyTextsThatReadBackTheSameSurviveStoring) {
  EXPECT_TRUE(SurvivesStoring("Admin-2024", kUserNameOffset));
  EXPECT_TRUE(SurvivesStoring("pass word~", kPassWordOffset));  // bytes above 0x7F are fine
  EXPECT_TRUE(SurvivesStoring(QString(39, 'z'), kPassWordOffset));
  EXPECT_FALSE(SurvivesStoring(QString(40, 'z'), kPassWordOffset));
  EXPECT_FALSE(SurvivesStoring("管理员", kUserNameOffset));                    // beyond U+00FF
  EXPECT_FALSE(SurvivesStoring(QString(QChar(0xE3)), kUserNameOffset));        // scrambles to NUL
  EXPECT_FALSE(SurvivesStoring(QString(QChar(0xF0)), kUserNameOffset));        // to CR
  EXPECT_FALSE(SurvivesStoring(QString(QChar(0x03)) + "a", kUserNameOffset));  // to a leading blank
}

TEST(Credentials, FilePathReplacesTheExtensionOfTheExecutable) {
  struct Case {
    const char* executable;
    const char* file;
  } cases[] = {
      {"/opt/brenlow/bin/brenlow", "/opt/brenlow/bin/brenlow.ini"},
      {"D:/srv/Brenlow.exe", "D:/srv/Brenlow.ini"},
      {"/opt/v1.2/brenlow", "/opt/v1.2/brenlow.ini"},
      {"/opt/brenlow.1.2", "/opt/brenlow.1.ini"},
      {"/opt/.brenlow", "/opt/.brenlow.ini"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CredentialsFilePath(c.executable), c.file);
  EXPECT_EQ(ExecutablePath().substr(ExecutablePath().rfind('/') + 1), "credentials_test");
}

TEST(Credentials, LoadsAScrambledFileAndReadsMissingValuesEmpty) {
  QTemporaryDir folder;
  std::string path = folder.filePath("brenlow.ini").toStdString();
  Credentials none = LoadCredentials(path);
  EXPECT_EQ(none.filePath, path);
  EXPECT_TRUE(none.storedUserName.isEmpty());
  EXPECT_TRUE(none.storedPassWord.isEmpty());

  // "admin" / "secret" scrambled, with CR LF line ends.
  std::ofstream(path, std::ios::binary) << "[Pass]\r\nUseName=~\x81\x8a\x86\x8b\r\n"
                                        << "PassWord=\x98\x8a\x88\x97\x8a\x99\r\n";
  Credentials loaded = LoadCredentials(path);
  EXPECT_EQ(UnscrambleText(loaded.storedUserName, kUserNameOffset), "admin");
  EXPECT_EQ(UnscrambleText(loaded.storedPassWord, kPassWordOffset), "secret");

  ASSERT_TRUE(WriteCredentials(path, Latin1("\x9b"), QString(300, 'x')));
  loaded = LoadCredentials(path);
  EXPECT_EQ(loaded.storedUserName, Latin1("\x9b"));
  EXPECT_EQ(loaded.storedPassWord.size(), kCredentialValueCapacity);
}

// A member of the group may put anything in the credentials folder: the login reads only a
// regular file, says what else it found, and never waits on a FIFO.
TEST(Credentials, OnlyARegularFileIsRead) {
  QTemporaryDir folder;
  std::string file = folder.filePath("real.ini").toStdString();
  std::ofstream(file, std::ios::binary) << "[Pass]\nUseName=u\nPassWord=p\n";
  std::string link = folder.filePath("link.ini").toStdString();
  std::filesystem::create_symlink(file, link);
  std::string fifo = folder.filePath("fifo.ini").toStdString();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    std::string problem;
  } cases[] = {
      {link, link + " is a symbolic link, not a regular file"},
      {fifo, fifo + " is a FIFO, not a regular file"},
      {folder.path().toStdString(),
       folder.path().toStdString() + " is a folder, not a regular file"},
  };
  for (const Case& c : cases) {
    Credentials loaded = LoadCredentials(c.path);
    EXPECT_EQ(loaded.problem, c.problem);
    EXPECT_TRUE(loaded.storedUserName.isEmpty() && loaded.storedPassWord.isEmpty()) << c.path;
  }
  EXPECT_EQ(LoadCredentials(file).problem, "");
  EXPECT_EQ(LoadCredentials(folder.filePath("none.ini").toStdString()).problem, "");
}

TEST(Credentials, AnInstalledProgramKeepsThemInTheConfigurationFolder) {
  struct Case {
    const char* executable;
    const char* file;
  } cases[] = {
      {"/usr/bin/brenlow", "/etc/brenlow/brenlow.ini"},
      {"/usr/bin/brenlow-admin", "/etc/brenlow/brenlow.ini"},
      {"/usr/bin/sub/brenlow", "/usr/bin/sub/brenlow.ini"},
      {"/home/a/brenlow/build/src/app/brenlow", "/home/a/brenlow/build/src/app/brenlow.ini"},
      {"/usr/local/bin/brenlow", "/usr/local/bin/brenlow.ini"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CredentialsFileFor(c.executable, "/usr/bin/", "/etc/brenlow/brenlow.ini"), c.file)
        << c.executable;
  }
  EXPECT_EQ(CredentialsFileOfThisProgram("/srv/given.ini"), "/srv/given.ini");
  // The test program runs from its build folder.
  EXPECT_EQ(CredentialsFileOfThisProgram(""), CredentialsFilePath(ExecutablePath()));
}

}  // namespace
}  // namespace brenlow
