#include "app/modify_pass_word_dlg.h"

#include "app/credentials.h"
#include "core/messages.h"

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
  if (userName.isEmpty() || passWord.isEmpty()) {
    ShowMessage("请输入用户名和密码");
    return;
  }
  if (CredentialTooLong(userName, passWord)) {
    ShowMessage(kCredentialTooLongText);
    return;
  }
  // Credentials that would not read back the same would lock the operator out at the next start.
  if (!SurvivesStoring(userName, kUserNameOffset) || !SurvivesStoring(passWord, kPassWordOffset)) {
    ShowMessage(kCredentialNotStorableText);
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

  if (!WriteCredentials(filePath_, storedUserName, storedPassWord))
    return;
  ShowMessage("修改成功!");
  form_.userName->clear();
  form_.passWord->clear();
}

}  // namespace brenlow
