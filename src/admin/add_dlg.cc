#include "admin/add_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "admin/dialog_parts.h"
#include "admin/report_list.h"
#include "core/messages.h"

namespace brenlow {
namespace {

void Warn(const char* text) {
  ShowMessage(Message(text, MessageIcon::kWarning));
}

}  // namespace

CAddDlg::CAddDlg(QTableWidget& list, QWidget* parent) : QDialog(parent), list_(list) {
  setWindowTitle(QStringLiteral("添加数据"));
  auto* form = new QFormLayout;
  name_ = AddEdit(this, *form, QStringLiteral("Name:"), QStringLiteral("1003"));
  zkip_ = AddEdit(this, *form, QStringLiteral("ZKIP:"), QStringLiteral("1004"));
  pcMac_ = AddEdit(this, *form, QStringLiteral("PCMAC:"), QStringLiteral("1005"));
  pass_ = AddEdit(this, *form, QStringLiteral("PASS:"), QStringLiteral("1006"));
  QPushButton* ok = AddButton(this, QStringLiteral("确定"), QStringLiteral("1"));
  ok->setDefault(true);
  QPushButton* cancel = AddButton(this, QStringLiteral("取消"), QStringLiteral("2"));
  connect(ok, &QPushButton::clicked, this, &CAddDlg::OnAddClass);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({ok, cancel}));
}

void CAddDlg::OnAddClass() {
  QString name = name_->text();
  if (name.isEmpty()) {
    Warn("请输入班级名!");
    return;
  }
  for (int row = 0; row < list_.rowCount(); ++row) {
    if (ReportText(list_, row, 0) == name) {
      Warn("班级已存在，请重新添加！");
      return;
    }
  }
  if (zkip_->text().isEmpty()) {
    Warn("请输入中控IP!");
    return;
  }
  if (pcMac_->text().isEmpty()) {
    Warn("请输入电脑MAC地址!");
    return;
  }
  if (pass_->text().isEmpty()) {
    Warn("请输入密码!");
    return;
  }
  AppendReportRow(list_, {name, zkip_->text(), pcMac_->text(), pass_->text()});
}

}  // namespace brenlow
