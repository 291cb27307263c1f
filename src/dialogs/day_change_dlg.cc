#include "dialogs/day_change_dlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "records/day_changes.h"

namespace brenlow {
namespace {

constexpr int kSubstituteIndex = 0;  // "kind": 代课, then 停课

QComboBox* Combo(const char* name) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

void Refuse(const std::string& text) {
  ShowMessage(Message{text, MessageIcon::kWarning});
}

}  // namespace

DayChangeDlg::DayChangeDlg(QDate initial, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("添加代课或停课"));
  date_ = new QDateEdit(initial);
  date_->setObjectName(QStringLiteral("date"));
  date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date_->setCalendarPopup(true);
  class_ = Combo("class");
  period_ = Combo("period");
  for (int period = 1; period <= kPeriodsPerDay; ++period)
    period_->addItem(QString::number(period));
  kind_ = Combo("kind");
  kind_->addItems({QStringLiteral("代课"), QStringLiteral("停课")});
  teacher_ = Combo("teacher");
  try {
    Database db = Database::DefaultStore();
    RecordSet classes = db.query("select Name from tblbj Order by ID");
    for (; classes.isValid() && !classes.isEof(); classes.moveNext())
      class_->addItem(QString::fromStdString(classes.fieldText("Name")));
    RecordSet teachers = db.query("select Numb,NameNumb from tblThMes Order by ID");
    for (; teachers.isValid() && !teachers.isEof(); teachers.moveNext()) {
      teacher_->addItem(QString::fromStdString(teachers.fieldText("NameNumb")),
                        QString::fromStdString(teachers.fieldText("Numb")));
    }
  } catch (const DatabaseError&) {
    // Lists that cannot be read stay short; the refusal names what is missing.
  }
  note_ = new QLineEdit;
  note_->setObjectName(QStringLiteral("note"));

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("日期(&D)"), date_);
  form->addRow(QStringLiteral("班级(&C)"), class_);
  form->addRow(QStringLiteral("节次(&P)"), period_);
  form->addRow(QStringLiteral("类型(&K)"), kind_);
  form->addRow(QStringLiteral("代课老师(&T)"), teacher_);
  form->addRow(QStringLiteral("备注(&N)"), note_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  connect(buttons, &QDialogButtonBox::accepted, this, &DayChangeDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(kind_, &QComboBox::currentIndexChanged, this, &DayChangeDlg::kindChanged);
  kindChanged();
}

void DayChangeDlg::kindChanged() {
  // A cancelled lesson has no teacher.
  teacher_->setEnabled(kind_->currentIndex() == kSubstituteIndex);
}

void DayChangeDlg::accept() {
  const QDate date = date_->date();
  DayChange change;
  change.date = CalendarDate{date.year(), date.month(), date.day()};
  change.className = class_->currentText().toStdString();
  change.period = period_->currentIndex() + 1;
  change.kind =
      kind_->currentIndex() == kSubstituteIndex ? ChangeKind::kSubstitute : ChangeKind::kCancelled;
  if (change.kind == ChangeKind::kSubstitute)
    change.teacherNumber = teacher_->currentData().toString().toStdString();
  change.note = note_->text().toStdString();
  try {
    Database db = Database::DefaultStore();
    if (!db.open())
      return;
    const std::string refusal = DayChangeRefusal(db, change);
    if (!refusal.empty()) {
      Refuse(refusal);
      return;
    }
    if (!AddDayChange(db, change))
      return;  // the store's failure was shown
  } catch (const DatabaseError&) {
    Refuse("代课与停课读取失败。");
    return;
  }
  QDialog::accept();
}

}  // namespace brenlow
