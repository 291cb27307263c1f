// CModifyPassWord: the dialog "修改密码" behind the main window's button "修改密码". After a
// confirmation it writes new scrambled credentials into the credentials file; they count from
// the next start (the running program and its Credentials stay as they are). Both keys are
// written in one replacement of the whole file, so a failure leaves the old pair intact; it is
// reported as "保存失败!" with the reason in the details. The dialog stays open after each change
// until "取消". User-interface thread only.
#pragma once

#include <QDialog>
#include <string>

#include "credentials/credentials_form.h"
#include "credentials/credentials_rules.h"

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

// The report of a failed write; its details name the file and the reason.
inline constexpr const char* kSaveFailedText = "保存失败!";

}  // namespace brenlow
