#include "credentials/credentials_form.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "credentials/credentials.h"

namespace brenlow {

CredentialsForm BuildCredentialsForm(QDialog& dialog, QLineEdit::EchoMode passWordEcho) {
  CredentialsForm form;
  form.userName = new QLineEdit(&dialog);
  form.userName->setObjectName("1013");
  form.passWord = new QLineEdit(&dialog);
  form.passWord->setObjectName("1004");
  form.passWord->setEchoMode(passWordEcho);
  form.ok = new QPushButton(QStringLiteral("确定"), &dialog);
  form.ok->setObjectName("1");
  form.ok->setDefault(true);
  form.cancel = new QPushButton(QStringLiteral("取消"), &dialog);
  form.cancel->setObjectName("2");
  form.cancel->setAutoDefault(false);
  QObject::connect(form.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("用户名:"), form.userName);
  fields->addRow(QStringLiteral("密码:"), form.passWord);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(form.ok);
  buttons->addWidget(form.cancel);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addLayout(fields);
  layout->addLayout(buttons);
  dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
  dialog.setMinimumWidth(280);
  return form;
}

}  // namespace brenlow
