#include "credentials/login_dlg.h"

#include "core/messages.h"

namespace brenlow {

CLogin::CLogin(const Credentials& credentials, QWidget* parent)
    : QDialog(parent), credentials_(credentials) {
  setWindowTitle(QStringLiteral("登陆"));
  form_ = BuildCredentialsForm(*this, QLineEdit::Password);
  connect(form_.ok, &QPushButton::clicked, this, &CLogin::OnOK);
}

void CLogin::OnOK() {
  QString userName = form_.userName->text();
  QString passWord = form_.passWord->text();
  if (userName.isEmpty() || passWord.isEmpty()) {
    ShowMessage("请输入用户名和密码!");
    return;
  }
  // No typed text longer than the scrambled form can ever match; say so rather than count it as
  // the one attempt.
  if (CredentialTooLong(userName, passWord)) {
    ShowMessage(kCredentialTooLongText);
    return;
  }
  if (credentials_.storedUserName == QLatin1String(kBootstrapCredential) &&
      credentials_.storedPassWord == QLatin1String(kBootstrapCredential)) {
    accept();
    return;
  }
  std::optional<QString> plainUserName =
      UnscrambleText(credentials_.storedUserName, kUserNameOffset);
  std::optional<QString> plainPassWord =
      UnscrambleText(credentials_.storedPassWord, kPassWordOffset);
  if (plainUserName && plainPassWord && userName == *plainUserName && passWord == *plainPassWord) {
    accept();
    return;
  }
  ShowMessage("用户名或密码输入错误!");
  reject();
}

bool RunLogin(const Credentials& credentials) {
  CLogin login(credentials);
  return login.exec() == QDialog::Accepted;
}

}  // namespace brenlow
