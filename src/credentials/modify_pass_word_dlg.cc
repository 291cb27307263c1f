#include "credentials/modify_pass_word_dlg.h"

#include "core/messages.h"
#include "credentials/credentials.h"

namespace brenlow {

CModifyPassWord::CModifyPassWord(std::string filePath, QWidget* parent)
    : QDialog(parent), filePath_(std::move(filePath)) {
  setWindowTitle(QStringLiteral("修改密码"));
  form_ = BuildCredentialsForm(*this, QLineEdit::Normal);
  connect(form_.ok, &QPushButton::clicked, this, &CModifyPassWord::OnOK);
}

void CModifyPassWord::OnOK() {
  QString userName = form_.userName->text();
  QString passWord = form_.passWord->text();
  if (std::optional<std::string> refusal = NewCredentialsRefusal(userName, passWord)) {
    ShowMessage(*refusal);
    return;
  }
  QString storedUserName = *ScrambleText(userName, kUserNameOffset);
  QString storedPassWord = *ScrambleText(passWord, kPassWordOffset);

  Message question(
      (QStringLiteral("你确定要将用户名和密码修改为") + userName + QStringLiteral("、") + passWord)
          .toStdString());
  question.caption = "修改用户名、密码";
  question.buttons = MessageButtons::kYesNo;
  if (ShowMessage(question) != MessageAnswer::kYes)
    return;

  std::string error;
  if (!WriteCredentials(filePath_, storedUserName, storedPassWord, &error)) {
    Message failed(kSaveFailedText, MessageIcon::kWarning);
    failed.detail = error;
    ShowMessage(failed);
    return;
  }
  ShowMessage("修改成功!");
  form_.userName->clear();
  form_.passWord->clear();
}

}  // namespace brenlow
