// The controls that the login dialog and the change-credentials dialog share: "用户名:" over the
// user-name edit 1013, "密码:" over the password edit 1004, the default button 1 "确定" and the
// button 2 "取消", which ends the dialog with Cancel. Each label is the buddy of its edit.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "credentials/credentials_rules.h"

namespace brenlow {

struct CredentialsForm {
  QLineEdit* userName;
  QLineEdit* passWord;
  QPushButton* ok;
  QPushButton* cancel;
};

// Lays the controls out on dialog, which owns them.
CredentialsForm BuildCredentialsForm(QDialog& dialog, QLineEdit::EchoMode passWordEcho);

}  // namespace brenlow
