#include "credentials/login_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>

#include "support/modal_dialogs.h"
#include "support/recording_messages.h"

namespace brenlow {
namespace {

using testing::Find;
using testing::RecordingMessages;
using testing::WhenModal;

// A credentials file in a temporary folder, written as bytes.
class CredentialsFile {
 public:
  explicit CredentialsFile(const std::string& bytes) {
    std::ofstream(path(), std::ios::binary) << bytes;
  }
  std::string path() const { return folder_.filePath("brenlow.ini").toStdString(); }
  Credentials load() const { return LoadCredentials(path()); }

 private:
  QTemporaryDir folder_;
};

void Type(QDialog& dialog, const QString& userName, const QString& passWord) {
  Find<QLineEdit>(dialog, "1013").setText(userName);
  Find<QLineEdit>(dialog, "1004").setText(passWord);
}

// Runs the login as start-up does, typing the texts and pressing "确定".
bool LogIn(const Credentials& credentials, const QString& userName, const QString& passWord) {
  WhenModal<QDialog>([=](QDialog& dialog) {
    Type(dialog, userName, passWord);
    Find<QPushButton>(dialog, "1").click();
    if (dialog.isVisible())
      dialog.reject();  // refused input: give up like "取消"
  });
  return RunLogin(credentials);
}

// "admin" / "secret" scrambled, with CR LF line ends.
const char* const kAdminSecret =
    "[Pass]\r\nUseName=~\x81\x8a\x86\x8b\r\nPassWord=\x98\x8a\x88\x97\x8a\x99\r\n";

TEST(Login, DialogHasItsTitleAndMaskedPassword) {
  CredentialsFile file("");
  Credentials credentials = file.load();
  CLogin login(credentials);
  EXPECT_EQ(login.windowTitle(), "登陆");
  EXPECT_EQ(Find<QLineEdit>(login, "1004").echoMode(), QLineEdit::Password);
  EXPECT_EQ(Find<QLineEdit>(login, "1013").echoMode(), QLineEdit::Normal);
  EXPECT_TRUE(Find<QPushButton>(login, "1").isDefault());
  EXPECT_EQ(Find<QPushButton>(login, "1").text(), "确定");
  EXPECT_EQ(Find<QPushButton>(login, "2").text(), "取消");
}

TEST(Login, BootstrapFileAdmitsAnyNonEmptyTexts) {
  RecordingMessages messages;
  CredentialsFile file("[Pass]\nUseName=586\nPassWord=586\n");
  EXPECT_TRUE(LogIn(file.load(), "anyone", "x"));
  EXPECT_TRUE(messages.texts().empty());
}

TEST(Login, StoredTextsMustBeTypedExactly) {
  struct Case {
    const char* file;
    QString userName;
    QString passWord;
    bool passes;
  } cases[] = {
      {kAdminSecret, "admin", "secret", true},
      {kAdminSecret, "admin", "Secret", false},
      {kAdminSecret, "admin ", "secret", false},
      {kAdminSecret, "586", "586", false},
      // Only "586" in both keys is the bootstrap; one of them is just a stored text.
      {"[Pass]\nUseName=586\nPassWord=\x98\x8a\x88\x97\x8a\x99\n", "586", "secret", false},
      {"[Pass]\nUseName=586\nPassWord=\x98\x8a\x88\x97\x8a\x99\n", "\x18\x1b\x19", "secret", true},
      // Without a file no text can match.
      {"", "a", "b", false},
  };
  for (const Case& c : cases) {
    RecordingMessages messages;
    CredentialsFile file(c.file);
    EXPECT_EQ(LogIn(file.load(), c.userName, c.passWord), c.passes) << c.userName.toStdString();
    std::vector<std::string> expected;
    if (!c.passes)
      expected = {"用户名或密码输入错误!"};
    EXPECT_EQ(messages.texts(), expected);
  }
}

TEST(Login, WrongTextEndsTheDialogAfterOneAttempt) {
  RecordingMessages messages;
  CredentialsFile file(kAdminSecret);
  Credentials credentials = file.load();
  bool stillOpen = true;
  WhenModal<QDialog>([&](QDialog& dialog) {
    Type(dialog, "admin", "wrong");
    Find<QPushButton>(dialog, "1").click();
    stillOpen = dialog.isVisible();
  });
  EXPECT_FALSE(RunLogin(credentials));
  EXPECT_FALSE(stillOpen);
  EXPECT_EQ(messages.texts(), std::vector<std::string>{"用户名或密码输入错误!"});
}

TEST(Login, EmptyOrTooLongTextsKeepTheDialogOpen) {
  struct Case {
    QString userName;
    QString passWord;
    const char* message;
  } cases[] = {
      {"", "secret", "请输入用户名和密码!"},
      {"admin", "", "请输入用户名和密码!"},
      {"", "", "请输入用户名和密码!"},
      {QString(40, 'a'), "secret", kCredentialTooLongText},
      {"admin", QString(400, 's'), kCredentialTooLongText},
  };
  CredentialsFile file(kAdminSecret);
  Credentials credentials = file.load();
  for (const Case& c : cases) {
    RecordingMessages messages;
    bool stayedOpen = false;
    WhenModal<QDialog>([&](QDialog& dialog) {
      Type(dialog, c.userName, c.passWord);
      Find<QPushButton>(dialog, "1").click();
      stayedOpen = dialog.isVisible();
      Type(dialog, "admin", "secret");  // the person tries again, correctly
      Find<QPushButton>(dialog, "1").click();
    });
    EXPECT_TRUE(RunLogin(credentials));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message});
  }
}

TEST(Login, CancelEndsTheDialogWithoutAMessage) {
  RecordingMessages messages;
  CredentialsFile file("[Pass]\nUseName=586\nPassWord=586\n");
  WhenModal<QDialog>([](QDialog& dialog) {
    Type(dialog, "a", "b");
    Find<QPushButton>(dialog, "2").click();
  });
  EXPECT_FALSE(RunLogin(file.load()));
  EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
}  // namespace brenlow
