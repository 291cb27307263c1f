#include "credentials/modify_pass_word_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "credentials/credentials.h"
#include "credentials/login_dlg.h"
#include "support/file_size_limit.h"
#include "support/modal_dialogs.h"
#include "support/recording_messages.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::RecordingMessages;
using testing::WhenModal;

class ChangeDialog : public ::testing::Test {
 protected:
  std::string path() const { return folder_.filePath("brenlow.ini").toStdString(); }
  std::string bytes() const {
    std::ifstream file(path(), std::ios::binary);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
  }
  void writeBytes(const std::string& contents) const {
    std::ofstream(path(), std::ios::binary) << contents;
  }
  // Types into the open dialog and presses "确定".
  static void Submit(CModifyPassWord& dialog, const QString& userName, const QString& passWord) {
    Find<QLineEdit>(dialog, "1013").setText(userName);
    Find<QLineEdit>(dialog, "1004").setText(passWord);
    Find<QPushButton>(dialog, "1").click();
  }
  bool logIn(const QString& userName, const QString& passWord) const {
    WhenModal<QDialog>([=](QDialog& dialog) {
      Find<QLineEdit>(dialog, "1013").setText(userName);
      Find<QLineEdit>(dialog, "1004").setText(passWord);
      Find<QPushButton>(dialog, "1").click();
    });
    return RunLogin(LoadCredentials(path()));
  }

  QTemporaryDir folder_;
  RecordingMessages messages_;
};

TEST_F(ChangeDialog, ConfirmedChangeAdmitsExactlyTheNewTextsAtTheNextStart) {
  writeBytes("[Pass]\r\nUseName=586\r\nPassWord=586\r\n");
  CModifyPassWord dialog(path());
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "修改密码");
  EXPECT_EQ(Find<QLineEdit>(dialog, "1004").echoMode(), QLineEdit::Normal);
  messages_.scriptAnswers({MessageAnswer::kYes});
  Submit(dialog, "Admin_01", "pass word~9");

  ASSERT_EQ(messages_.texts().size(), 2u);
  Message question = messages_.messages()[0];
  EXPECT_EQ(question.text, "你确定要将用户名和密码修改为Admin_01、pass word~9");
  EXPECT_EQ(question.caption, "修改用户名、密码");
  EXPECT_EQ(question.buttons, MessageButtons::kYesNo);
  EXPECT_EQ(messages_.texts()[1], "修改成功!");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(Find<QLineEdit>(dialog, "1013").text().isEmpty());
  EXPECT_TRUE(Find<QLineEdit>(dialog, "1004").text().isEmpty());
  // The file keeps its line ends and holds the scrambled bytes, 0x80 and above as they are.
  EXPECT_EQ(bytes(),
            "[Pass]\r\nUseName=^\x81\x8a\x86\x8b|MN\r\n"
            "PassWord=\x95\x86\x98\x98"
            "E\x9c\x94\x97\x89\xa3^\r\n");

  messages_.clear();
  EXPECT_TRUE(logIn("Admin_01", "pass word~9"));
  EXPECT_FALSE(logIn("Admin_01", "pass word~"));
  EXPECT_FALSE(logIn("586", "586"));  // the bootstrap is gone
}

TEST_F(ChangeDialog, AnsweringNoChangesNothing) {
  writeBytes("[Other]\nKey=\xc4\xe3\n[Pass]\nUseName=586\nPassWord=586\n");
  CModifyPassWord dialog(path());
  dialog.show();
  messages_.scriptAnswers({MessageAnswer::kNo});
  Submit(dialog, "u", "p");
  EXPECT_EQ(messages_.texts().size(), 1u);
  EXPECT_EQ(bytes(), "[Other]\nKey=\xc4\xe3\n[Pass]\nUseName=586\nPassWord=586\n");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Find<QLineEdit>(dialog, "1013").text(), "u");

  // Saying yes afterwards changes only the two keys.
  messages_.scriptAnswers({MessageAnswer::kYes});
  Find<QPushButton>(dialog, "1").click();
  EXPECT_EQ(bytes(), "[Other]\nKey=\xc4\xe3\n[Pass]\nUseName=\x92\nPassWord=\x95\n");
}

TEST_F(ChangeDialog, MissingFileIsCreated) {
  CModifyPassWord dialog(path());
  dialog.show();
  messages_.scriptAnswers({MessageAnswer::kYes});
  Submit(dialog, "a", "b");
  EXPECT_EQ(messages_.texts().back(), "修改成功!");
  EXPECT_TRUE(logIn("a", "b"));
}

TEST_F(ChangeDialog, RefusedTextsAskNothingAndWriteNothing) {
  struct Case {
    QString userName;
    QString passWord;
    const char* message;
  } cases[] = {
      {"", "p", "请输入用户名和密码"},
      {"u", "", "请输入用户名和密码"},
      {QString(40, 'u'), "p", kCredentialTooLongText},
      {"u", QString(40, 'p'), kCredentialTooLongText},
      {"管理员", "p", kCredentialNotStorableText},
      {"u", QString(QChar(0xE8)), kCredentialNotStorableText},  // scrambles to CR
  };
  writeBytes("[Pass]\nUseName=586\nPassWord=586\n");
  for (const Case& c : cases) {
    messages_.clear();
    CModifyPassWord dialog(path());
    dialog.show();
    Submit(dialog, c.userName, c.passWord);
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{c.message});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Find<QLineEdit>(dialog, "1013").text(), c.userName);
  }
  EXPECT_EQ(bytes(), "[Pass]\nUseName=586\nPassWord=586\n");
}

TEST_F(ChangeDialog, AFailedWriteSaysSoAndKeepsTheOldPair) {
  const std::string before = "[Pass]\nUseName=586\nPassWord=586\n";
  writeBytes(before);
  CModifyPassWord dialog(path());
  dialog.show();
  messages_.scriptAnswers({MessageAnswer::kYes});
  {
    // The disk fills up part-way through the write.
    testing::FileSizeLimit limit(20);
    Submit(dialog, "someone", "secret");
  }
  ASSERT_EQ(messages_.texts().size(), 2u);
  Message failed = messages_.messages()[1];
  EXPECT_EQ(failed.text, "保存失败!");
  EXPECT_NE(failed.detail.find(path()), std::string::npos) << failed.detail;
  EXPECT_NE(failed.detail.find("File too large"), std::string::npos) << failed.detail;
  EXPECT_EQ(bytes(), before) << "neither key changed";
  EXPECT_EQ(Find<QLineEdit>(dialog, "1013").text(), "someone");

  messages_.clear();
  messages_.scriptAnswers({MessageAnswer::kYes});
  CModifyPassWord nowhere(folder_.filePath("missing-folder/brenlow.ini").toStdString());
  nowhere.show();
  Submit(nowhere, "u", "p");
  ASSERT_EQ(messages_.texts().size(), 2u);
  EXPECT_EQ(messages_.texts()[1], "保存失败!");
  EXPECT_NE(messages_.messages()[1].detail.find("No such file or directory"), std::string::npos);
}

}  // namespace
}  // namespace brenlow
