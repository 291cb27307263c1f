// CLogin: the login dialog "登陆", run once before the main window. It ends with Accepted when
// the typed user name and password match the stored ones (or the file holds the bootstrap "586"
// twice and both texts are non-empty) and with Rejected on a wrong text or "取消"; the program
// then ends. There is no second attempt. User-interface thread only.
#pragma once

#include <QDialog>

#include "credentials/credentials.h"
#include "credentials/credentials_form.h"

namespace brenlow {

class CLogin : public QDialog {
  Q_OBJECT

 public:
  // credentials must outlive the dialog.
  explicit CLogin(const Credentials& credentials, QWidget* parent = nullptr);

  // The "确定" button (and Enter).
  void OnOK();

 private:
  const Credentials& credentials_;
  CredentialsForm form_;
};

// Runs the login dialog modally; true when it was passed.
bool RunLogin(const Credentials& credentials);

}  // namespace brenlow
