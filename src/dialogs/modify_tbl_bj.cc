#include "dialogs/modify_tbl_bj.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_parts.h"
#include "dialogs/length_limit.h"

namespace brenlow {

CModifyTblBj::CModifyTblBj(const ClassTexts& texts, QWidget* parent)
    : QDialog(parent), texts_(texts) {
  setWindowTitle(QStringLiteral("修改数据"));
  auto* form = new QFormLayout;
  name_ = AddEdit(this, *form, QStringLiteral("NAME:"), QStringLiteral("1003"));
  zkip_ = AddEdit(this, *form, QStringLiteral("ZKIP:"), QStringLiteral("1004"));
  pcMac_ = AddEdit(this, *form, QStringLiteral("PCMAC:"), QStringLiteral("1005"));
  pass_ = AddEdit(this, *form, QStringLiteral("PASS:"), QStringLiteral("1006"));
  name_->setReadOnly(true);
  name_->setText(texts.name);
  zkip_->setText(texts.zkip);
  pcMac_->setText(texts.pcMacAddr);
  pass_->setText(texts.pass);
  for (QLineEdit* edit : {name_, zkip_, pcMac_, pass_})
    LimitTyping(*edit);
  QPushButton* ok = AddButton(this, QStringLiteral("确定"), QStringLiteral("1"));
  ok->setDefault(true);
  QPushButton* cancel = AddButton(this, QStringLiteral("取消"), QStringLiteral("2"));
  connect(ok, &QPushButton::clicked, this, &CModifyTblBj::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({ok, cancel}));
}

void CModifyTblBj::accept() {
  if (!CheckLengths({name_, zkip_, pcMac_, pass_}))
    return;
  texts_ = {name_->text(), zkip_->text(), pcMac_->text(), pass_->text()};
  QDialog::accept();
}

}  // namespace brenlow
