#include "dialogs/modify_th_mes_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_parts.h"
#include "dialogs/length_limit.h"

namespace brenlow {

CModifyThMesDlg::CModifyThMesDlg(const QString& number, const QString& name, QWidget* parent)
    : QDialog(parent), name_(name) {
  setWindowTitle(QStringLiteral("修改数据"));
  auto* form = new QFormLayout;
  numberEdit_ = AddEdit(this, *form, QStringLiteral("NUMB:"), QStringLiteral("1006"));
  nameEdit_ = AddEdit(this, *form, QStringLiteral("NAME:"), QStringLiteral("1003"));
  numberEdit_->setText(number);
  numberEdit_->setEnabled(false);
  nameEdit_->setText(name);
  LimitTyping(*nameEdit_);
  QPushButton* ok = AddButton(this, QStringLiteral("确定"), QStringLiteral("1"));
  ok->setDefault(true);
  QPushButton* cancel = AddButton(this, QStringLiteral("取消"), QStringLiteral("2"));
  connect(ok, &QPushButton::clicked, this, &CModifyThMesDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({ok, cancel}));
}

void CModifyThMesDlg::accept() {
  // The number cannot be edited here, and the add dialog and the import take longer ones: only
  // the name is held to the limit, so every teacher can be renamed.
  if (!CheckLengths({nameEdit_}))
    return;
  name_ = nameEdit_->text();
  QDialog::accept();
}

}  // namespace brenlow
