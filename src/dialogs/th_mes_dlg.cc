#include "dialogs/th_mes_dlg.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <string>
#include <utility>
#include <vector>

#include "core/messages.h"
#include "core/shared_state.h"
#include "data/database.h"
#include "dialogs/add_th_mes_dlg.h"
#include "dialogs/csv_file_dialog.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/modify_th_mes_dlg.h"
#include "dialogs/report_list.h"
#include "dialogs/teacher_info_import.h"
#include "records/teacher_import.h"
#include "records/teacher_records.h"

namespace brenlow {

CTHMesDlg::CTHMesDlg(Store store, QWidget* parent) : QDialog(parent), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("老师信息"));
  list_ = MakeReportList(this, QStringLiteral("1002"),
                         {{QStringLiteral("工号"), 150},
                          {QStringLiteral("姓名"), 150},
                          {QStringLiteral("使用时长"), 150}});
  list_->setMinimumWidth(470);
  cardNumber_ = new QLineEdit(this);
  cardNumber_->setObjectName(QStringLiteral("1012"));
  cardNumber_->setReadOnly(true);
  cardNumber_->setAlignment(Qt::AlignCenter);

  QPushButton* add = AddButton(this, QStringLiteral("添加"), QStringLiteral("3"));
  QPushButton* remove = AddButton(this, QStringLiteral("删除"), QStringLiteral("4"));
  QPushButton* modify = AddButton(this, QStringLiteral("修改"), QStringLiteral("5"));
  QPushButton* import = AddButton(this, QStringLiteral("导入"), QStringLiteral("6"));
  QPushButton* exportButton = AddButton(this, QStringLiteral("导出"), QStringLiteral("7"));
  // Kept for its number; pressing it does nothing.
  QPushButton* refresh = AddButton(this, QStringLiteral("刷新"), QStringLiteral("1010"));
  refresh->hide();
  connect(add, &QPushButton::clicked, this, &CTHMesDlg::OnAdd);
  connect(remove, &QPushButton::clicked, this, &CTHMesDlg::OnDelete);
  connect(modify, &QPushButton::clicked, this, &CTHMesDlg::OnModify);
  connect(import, &QPushButton::clicked, this, &CTHMesDlg::OnImport);
  connect(exportButton, &QPushButton::clicked, this, &CTHMesDlg::OnExport);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cardNumber_, 1);
  buttons->addWidget(refresh);
  for (QPushButton* button : {add, remove, modify, import, exportButton}) {
    buttons->addWidget(button);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
  LoadTeachers();
}

void CTHMesDlg::showCardNumbersUnavailable() {
  auto* note = new QLabel(QString::fromUtf8(kCardNumbersUnavailableText), this);
  note->setObjectName(QStringLiteral("cardNumberNote"));
  note->setWordWrap(true);
  static_cast<QVBoxLayout*>(layout())->insertWidget(0, note);
  cardNumber_->setPlaceholderText(QStringLiteral("刷卡号不可用"));
}

CTHMesDlg::~CTHMesDlg() {
  stopReceivingCardNumbers();
}

void CTHMesDlg::LoadTeachers() {
  list_->setRowCount(0);
  try {
    Database db = store_.database();
    db.open();
    RecordSet rows = db.query("select * from tblThMes Order by ID");
    while (!rows.isEof()) {
      AppendReportRow(*list_, {QString::fromStdString(rows.fieldText("Numb")),
                               QString::fromStdString(rows.fieldText("Name")),
                               QString::fromStdString(rows.fieldText("UseTime"))});
      rows.moveNext();
    }
  } catch (const DatabaseError&) {
    // The rows read so far stay.
  }
}

void CTHMesDlg::OnAdd() {
  {
    CAddThMesDlg dialog(*list_, this);
    dialog.exec();
  }
  SaveNewTeachers();
}

void CTHMesDlg::SaveNewTeachers() {
  int rowCount = list_->rowCount();
  try {
    Database db = store_.database();
    db.open();
    for (int row = 0; row < rowCount; ++row) {
      std::string number = CutText(ReportText(*list_, row, 0));
      if (TeacherExists(db, number))
        continue;
      if (!InsertTeacher(db, number, CutText(ReportText(*list_, row, 1))))
        return;
    }
  } catch (const DatabaseError&) {
    // An unreadable teacher table ends the saving; rows written so far stay.
  }
}

void CTHMesDlg::OnDelete() {
  if (FirstSelectedRow(*list_) < 0) {
    ShowMessage("请选中一行再删除!");
    return;
  }
  Message question("确定要删除吗？", MessageIcon::kQuestion);
  question.buttons = MessageButtons::kYesNo;
  if (ShowMessage(question) != MessageAnswer::kYes)
    return;
  for (int row = FirstSelectedRow(*list_); row >= 0; row = FirstSelectedRow(*list_)) {
    std::string number = CutText(ReportText(*list_, row, 0));
    list_->removeRow(row);
    Database db = store_.database();
    db.open();
    if (!DeleteTeacher(db, number))
      return;
  }
}

void CTHMesDlg::OnModify() {
  int row = FirstSelectedRow(*list_);
  if (row < 0) {
    ShowMessage("请选中一行再修改!");
    return;
  }
  QString number = ReportText(*list_, row, 0);
  QString oldName = ReportText(*list_, row, 1);
  CModifyThMesDlg dialog(number, oldName, this);
  if (dialog.exec() != QDialog::Accepted)
    return;
  SetReportText(*list_, row, 1, dialog.name());

  Database db = store_.database();
  db.open();
  RenameTeacher(db, number.toStdString(), oldName.toStdString(), dialog.name().toStdString());
}

void CTHMesDlg::OnImport() {
  {
    CTeacherInfoImport dialog(store_, this);
    dialog.exec();
  }
  LoadTeachers();
}

void CTHMesDlg::OnExport() {
  std::optional<QString> path = ChooseCsvFile(this);
  if (!path)
    return;
  std::vector<std::pair<std::string, std::string>> rows;
  for (int row = 0; row < list_->rowCount(); ++row) {
    rows.emplace_back(ReportText(*list_, row, 0).toStdString(),
                      ReportText(*list_, row, 1).toStdString());
  }
  GbkWriteResult written = ExportTeacherFile(store_, path->toStdString(), rows);
  if (!written.ok) {
    // The export ends without a message box when its file cannot be made; say why on stderr.
    WriteStderrLine(written.errorText);
    return;
  }
  Message done("导出成功");
  if (written.gb18030Characters > 0) {
    done.detail = Gb18030Note(written.gb18030Characters);
  }
  ShowMessage(done);
}

void CTHMesDlg::OnCardNumber(const QString& cardNumber) {
  cardNumber_->setText(cardNumber);
}

void CTHMesDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  receiveCardNumbers();
}

void CTHMesDlg::done(int result) {
  stopReceivingCardNumbers();
  QDialog::done(result);
}

void CTHMesDlg::receiveCardNumbers() {
  if (receiving_)
    return;
  receiving_ = true;
  QPointer<CTHMesDlg> dialog(this);
  SetCardNumberReceiver([dialog](const std::string& cardNumber) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr)
      return;
    // The caller's text is valid only during this call: the queued call carries a copy. It is
    // queued to the application object, which outlives every dialog, and looks the dialog up
    // on the user-interface thread, so a dialog closed meanwhile is simply not there any more.
    auto show = [dialog, text = QString::fromStdString(cardNumber)] {
      if (dialog)
        dialog->OnCardNumber(text);
    };
    if (QThread::currentThread() == application->thread()) {
      show();
    } else {
      // Queued without waiting: the listener goes on with its datagrams while the
      // user-interface thread is busy (an import, a message box).
      QMetaObject::invokeMethod(application, show, Qt::QueuedConnection);
    }
  });
}

void CTHMesDlg::stopReceivingCardNumbers() {
  if (!receiving_)
    return;
  receiving_ = false;
  SetCardNumberReceiver({});
}

}  // namespace brenlow
