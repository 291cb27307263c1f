#include "admin/add_th_mes_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "admin/dialog_parts.h"
#include "admin/report_list.h"
#include "core/messages.h"

namespace brenlow {

CAddThMesDlg::CAddThMesDlg(QTableWidget& list, QWidget* parent) : QDialog(parent), list_(list) {
  setWindowTitle(QStringLiteral("添加数据"));
  auto* form = new QFormLayout;
  number_ = AddEdit(this, *form, QStringLiteral("工号:"), QStringLiteral("1006"));
  name_ = AddEdit(this, *form, QStringLiteral("姓名:"), QStringLiteral("1003"));
  QPushButton* ok = AddButton(this, QStringLiteral("确定"), QStringLiteral("1"));
  ok->setDefault(true);
  QPushButton* cancel = AddButton(this, QStringLiteral("取消"), QStringLiteral("2"));
  connect(ok, &QPushButton::clicked, this, &CAddThMesDlg::OnAddTeacher);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(ButtonRow({ok, cancel}));
}

void CAddThMesDlg::OnAddTeacher() {
  QString number = number_->text();
  if (number.isEmpty()) {
    ShowMessage("请输工号!");
    return;
  }
  for (int row = 0; row < list_.rowCount(); ++row) {
    if (ReportText(list_, row, 0) == number) {
      ShowMessage("工号已存在，请重新输入！");
      return;
    }
  }
  QString name = name_->text();
  if (name.isEmpty()) {
    ShowMessage("请输入姓名!");
    return;
  }
  AppendReportRow(list_, {number, name, QString()});
}

}  // namespace brenlow
