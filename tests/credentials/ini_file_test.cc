#include "credentials/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/file_size_limit.h"

namespace brenlow {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A credentials file in every form the reader accepts: CR LF, a comment, blanks around '=',
// names in other letter case, other sections, scrambled bytes of 0x80 and above, a quoted value.
const std::string kLooseFile =
    "; settings\r\n"
    "[Other]\r\n"
    "UseName=not this one\r\n"
    "\r\n"
    "[ pass ]\r\n"
    "usename = \x7e\x8a\xfe=x \r\n"
    "PassWord\t=\t\"\x86\x87\"\r\n"
    "UseName=second key of the name\r\n"
    "[Tail]\r\n"
    "Key=\xc4\xe3\r\n";

TEST(IniFile, ReadsLooselyWrittenFiles) {
  struct Case {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"Pass", "UseName", "\x7e\x8a\xfe=x"},  // blanks around it dropped, '=' in it kept
      {"PASS", "PassWord", "\x86\x87"},       // enclosing quotes dropped
      {"Other", "UseName", "not this one"},  {"Tail", "Key", "\xc4\xe3"},
      {"Pass", "Missing", std::nullopt},     {"Missing", "UseName", std::nullopt},
      {"Pass", "; settings", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindIniValue(kLooseFile, c.section, c.key), c.value) << c.section << "/" << c.key;
  }
  EXPECT_EQ(FindIniValue("UseName=before any section\n[Pass]\n", "Pass", "UseName"), std::nullopt);
}

TEST(IniFile, SettingAValueChangesOnlyItsLineAndKeepsTheLineEnds) {
  std::string updated = SetIniValue(kLooseFile, "Pass", "UseName", "\x9a\x9b");
  std::string expected = kLooseFile;
  const std::string oldLine = "usename = \x7e\x8a\xfe=x \r\n";
  expected.replace(expected.find(oldLine), oldLine.size(), "UseName=\x9a\x9b\r\n");
  EXPECT_EQ(updated, expected);
}

TEST(IniFile, AddsMissingKeysAndSections) {
  struct Case {
    const char* before;
    const char* after;
  } cases[] = {
      {"", "[Pass]\nUseName=v\n"},
      {"[A]\r\nx=1", "[A]\r\nx=1\r\n[Pass]\r\nUseName=v\r\n"},
      {"[Pass]\nPassWord=p\n\n[B]\n", "[Pass]\nPassWord=p\nUseName=v\n\n[B]\n"},
      {"[Pass]", "[Pass]\nUseName=v\n"},
      {"[Pass]\r\n", "[Pass]\r\nUseName=v\r\n"},
      // A last line ending in a bare CR keeps it as its text: PassWord still reads "p\r".
      {"[Pass]\nPassWord=p\r", "[Pass]\nPassWord=p\r\r\nUseName=v\n"},
  };
  for (const Case& c : cases) {
    std::string after = SetIniValue(c.before, "Pass", "UseName", "v");
    EXPECT_EQ(after, c.after) << c.before;
    EXPECT_EQ(FindIniValue(after, "Pass", "PassWord"), FindIniValue(c.before, "Pass", "PassWord"));
  }
}

TEST(IniFile, WritesAndReadsRealFiles) {
  QTemporaryDir folder;
  std::string path = folder.filePath("brenlow.ini").toStdString();
  EXPECT_EQ(ReadIniValue(path, "Pass", "UseName"), "");  // no file yet

  ASSERT_TRUE(WriteIniValue(path, "Pass", "UseName", "\x80\xff"));
  ASSERT_TRUE(WriteIniValue(path, "Pass", "PassWord", "p"));
  EXPECT_EQ(ReadBytes(path), "[Pass]\nUseName=\x80\xff\nPassWord=p\n");
  EXPECT_EQ(ReadIniValue(path, "Pass", "UseName"), "\x80\xff");

  WriteBytes(path, kLooseFile);
  ASSERT_TRUE(WriteIniValue(path, "pass", "PASSWORD", "q"));
  EXPECT_EQ(ReadIniValue(path, "Pass", "PassWord"), "q");
  EXPECT_EQ(ReadIniValue(path, "Tail", "Key"), "\xc4\xe3");

  // A value that could not be read back is not written.
  std::string before = ReadBytes(path);
  EXPECT_FALSE(WriteIniValue(path, "Pass", "PassWord", "a\r\nb"));
  EXPECT_FALSE(WriteIniValue(path, "Pass", "PassWord", std::string("a\0b", 3)));
  EXPECT_EQ(ReadBytes(path), before);

  EXPECT_FALSE(
      WriteIniValue(folder.filePath("no-such-folder/x.ini").toStdString(), "Pass", "UseName", "v"));
}

TEST(IniFile, SeveralKeysAreOneWholeReplacementOrNothing) {
  QTemporaryDir folder;
  std::string path = folder.filePath("brenlow.ini").toStdString();
  WriteBytes(path, "[Other]\r\nKey=1\r\n[Pass]\r\nUseName=old\r\nPassWord=old\r\n");
  ::chmod(path.c_str(), 0644);
  std::string error;
  ASSERT_TRUE(WriteIniValues(path, "Pass", {{"UseName", "u"}, {"PassWord", "p"}}, &error)) << error;
  EXPECT_EQ(ReadBytes(path), "[Other]\r\nKey=1\r\n[Pass]\r\nUseName=u\r\nPassWord=p\r\n");
  struct stat file {};
  ASSERT_EQ(::stat(path.c_str(), &file), 0);
  EXPECT_EQ(file.st_mode & 07777, 0660u) << "the group may replace it, others may not read it";

  // A write that fails part-way (the disk full, say) leaves the old file as it was, and no
  // temporary file behind.
  std::string before = ReadBytes(path);
  {
    testing::FileSizeLimit limit(8);
    EXPECT_FALSE(WriteIniValues(path, "Pass", {{"UseName", "new"}, {"PassWord", "new"}}, &error));
  }
  EXPECT_NE(error.find("File too large"), std::string::npos) << error;
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path().toStdString()),
                          std::filesystem::directory_iterator()),
            1);

  // A value that could not be read back stops the whole write.
  EXPECT_FALSE(WriteIniValues(path, "Pass", {{"UseName", "ok"}, {"PassWord", "a\nb"}}, &error));
  EXPECT_EQ(ReadBytes(path), before);

  // A link is neither followed nor replaced: the file it names stays as it was.
  std::string link = folder.filePath("link.ini").toStdString();
  std::filesystem::create_symlink(path, link);
  EXPECT_FALSE(WriteIniValue(link, "Pass", "UseName", "via-link", &error));
  EXPECT_EQ(error, link + " is a symbolic link, not a regular file");
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadIniValue(link, "Pass", "UseName"), "");
  EXPECT_EQ(ReadBytes(path), before);

  EXPECT_FALSE(WriteIniValue(folder.filePath("no-such-folder/x.ini").toStdString(), "Pass",
                             "UseName", "v", &error));
  EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

}  // namespace
}  // namespace brenlow
