// CModifyPassWord: the dialog "修改密码" behind the main window's button "修改密码". After a
// confirmation it writes new scrambled credentials into the credentials file; they count from
// the next start (the running program and its Credentials stay as they are). The dialog stays
// open after each change until "取消". User-interface thread only.
#pragma once

#include <QDialog>
#include <string>

#include "app/credentials_form.h"

namespace brenlow {

class CModifyPassWord : public QDialog {
  Q_OBJECT

 public:
  // filePath: the credentials file (Credentials::filePath).
  explicit CModifyPassWord(std::string filePath, QWidget* parent = nullptr);

  // The "确定" button (and Enter).
  void OnOK();

 private:
  std::string filePath_;
  CredentialsForm form_;
};

// The refusal of a text that could not be read back from the file.
inline constexpr const char* kCredentialNotStorableText =
    "用户名和密码只能使用英文字母、数字和常用符号!";

}  // namespace brenlow
