#include "dialogs/add_th_mes_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/report_list.h"
#include "records/teacher_records.h"

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
  bool numberTaken = false;
  for (int row = 0; row < list_.rowCount() && !numberTaken; ++row)
    numberTaken = ReportText(list_, row, 0) == number;
  // The list is the working copy of the table: a number it shows is taken.
  if (const char* refusal =
          NewTeacherRefusal(number.toStdString(), name_->text().toStdString(), numberTaken)) {
    ShowMessage(refusal);
    return;
  }
  AppendReportRow(list_, {number, name_->text(), QString()});
}

}  // namespace brenlow
