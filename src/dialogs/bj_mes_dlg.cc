#include "dialogs/bj_mes_dlg.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <string>

#include "core/messages.h"
#include "data/database.h"
#include "dialogs/add_dlg.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/modify_tbl_bj.h"
#include "dialogs/report_list.h"
#include "records/class_records.h"

namespace brenlow {

CBJMesDlg::CBJMesDlg(Store store, QWidget* parent) : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("班级信息"));
  list_ = MakeReportList(this, QStringLiteral("1002"),
                         {{QStringLiteral("NAME"), 90},
                          {QStringLiteral("ZKIP"), 130},
                          {QStringLiteral("PCMAC"), 130},
                          {QStringLiteral("PASSWORD"), 130}});
  list_->setMinimumWidth(500);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &CBJMesDlg::OnListRightClick);

  QPushButton* add = AddButton(this, QStringLiteral("添加"), QStringLiteral("3"));
  QPushButton* remove = AddButton(this, QStringLiteral("删除"), QStringLiteral("4"));
  QPushButton* modify = AddButton(this, QStringLiteral("修改"), QStringLiteral("5"));
  QPushButton* cancel = AddButton(this, QStringLiteral("取消"), QStringLiteral("2"));
  connect(add, &QPushButton::clicked, this, &CBJMesDlg::OnAdd);
  connect(remove, &QPushButton::clicked, this, &CBJMesDlg::OnDelete);
  connect(modify, &QPushButton::clicked, this, &CBJMesDlg::OnModify);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(ButtonRow({add, remove, modify, cancel}));
  LoadClasses();
}

void CBJMesDlg::LoadClasses() {
  try {
    Database db = store_.database();
    db.open();
    RecordSet rows = db.query("select * from tblbj Order by ID");
    while (!rows.isEof()) {
      AppendReportRow(*list_, {QString::fromStdString(rows.fieldText("Name")),
                               QString::fromStdString(rows.fieldText("ZKIP")),
                               QString::fromStdString(rows.fieldText("PCMacAddr")),
                               QString::fromStdString(rows.fieldText("Pass"))});
      rows.moveNext();
    }
  } catch (const DatabaseError&) {
    // The rows read so far stay; the dialog opens with them.
  }
}

void CBJMesDlg::OnAdd() {
  {
    CAddDlg dialog(*list_, this);
    dialog.exec();
  }
  SaveNewClasses();
}

void CBJMesDlg::SaveNewClasses() {
  try {
    Database db = store_.database();
    db.open();
    for (int row = 0; row < list_->rowCount(); ++row) {
      ClassRecord record{CutText(ReportText(*list_, row, 0)), CutText(ReportText(*list_, row, 1)),
                         CutText(ReportText(*list_, row, 2)), CutText(ReportText(*list_, row, 3))};
      if (ClassExists(db, record.name))
        continue;
      if (!InsertClass(db, record))
        return;
    }
  } catch (const DatabaseError&) {
    // An unreadable class table ends the saving; rows written so far stay.
  }
}

void CBJMesDlg::OnDelete() {
  int row = FirstSelectedRow(*list_);
  if (row < 0) {
    ShowMessage(Message("请选中一行再删除!", MessageIcon::kWarning));
    return;
  }
  Message question("确定要删除吗？", MessageIcon::kQuestion);
  question.buttons = MessageButtons::kYesNo;
  if (ShowMessage(question) != MessageAnswer::kYes)
    return;
  std::string name = CutText(ReportText(*list_, row, 0));
  list_->removeRow(row);
  Database db = store_.database();
  db.open();
  DeleteClass(db, name);
}

void CBJMesDlg::OnModify() {
  int row = FirstSelectedRow(*list_);
  if (row < 0) {
    ShowMessage(Message("请选中一行再修改!", MessageIcon::kWarning));
    return;
  }
  CModifyTblBj dialog({ReportText(*list_, row, 0), ReportText(*list_, row, 1),
                       ReportText(*list_, row, 2), ReportText(*list_, row, 3)},
                      this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  const ClassTexts& texts = dialog.texts();
  SetReportText(*list_, row, 1, texts.zkip);
  SetReportText(*list_, row, 2, texts.pcMacAddr);
  SetReportText(*list_, row, 3, texts.pass);
  Database db = store_.database();
  db.open();
  UpdateClass(db, {texts.name.toStdString(), texts.zkip.toStdString(),
                   texts.pcMacAddr.toStdString(), texts.pass.toStdString()});
}

void CBJMesDlg::OnListRightClick(const QPoint& position) {
  if (list_->itemAt(position) == nullptr)
    return;
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("134"));
  QAction* remove = menu.addAction(QStringLiteral("删除（D）"));
  remove->setObjectName(QStringLiteral("32771"));
  QAction* modify = menu.addAction(QStringLiteral("修改（M）"));
  modify->setObjectName(QStringLiteral("32772"));
  QAction* chosen = menu.exec(list_->viewport()->mapToGlobal(position));
  if (chosen == remove) {
    OnDelete();
  } else if (chosen == modify) {
    OnModify();
  }
}

}  // namespace brenlow
