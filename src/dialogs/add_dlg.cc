#include "dialogs/add_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/report_list.h"
#include "records/class_records.h"

namespace brenlow {

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
  bool nameTaken = false;
  for (int row = 0; row < list_.rowCount() && !nameTaken; ++row)
    nameTaken = ReportText(list_, row, 0) == name;
  // The list is the working copy of the table: a name it shows is taken.
  ClassRecord record{name.toStdString(), zkip_->text().toStdString(), pcMac_->text().toStdString(),
                     pass_->text().toStdString()};
  if (const char* refusal = NewClassRefusal(record, nameTaken)) {
    ShowMessage(Message(refusal, MessageIcon::kWarning));
    return;
  }
  AppendReportRow(list_, {name, zkip_->text(), pcMac_->text(), pass_->text()});
}

}  // namespace brenlow
