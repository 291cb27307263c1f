#include "dialogs/entry_form.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "data/database.h"

namespace brenlow {

QDateEdit* NewDateEdit(QDate date, const char* name) {
  auto* edit = new QDateEdit(date);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  edit->setCalendarPopup(true);
  return edit;
}

QComboBox* NewCombo(const char* name) {
  auto* combo = new QComboBox;
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

void AddClassNames(Database& db, QComboBox* combo) {
  RecordSet classes = db.query("select Name from tblbj Order by ID");
  for (; classes.isValid() && !classes.isEof(); classes.moveNext())
    combo->addItem(QString::fromStdString(classes.fieldText("Name")));
}

void LayOutWithOkAndCancel(QDialog* dialog, QFormLayout* form) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
  // accept() is virtual: the dialog's own runs.
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(dialog);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

void ShowRefusal(const std::string& text) {
  ShowMessage(Message{text, MessageIcon::kWarning});
}

bool WriteEntry(Database& db, const std::function<std::string(Database&)>& refusal,
                const std::function<bool(Database&)>& write, const std::string& unreadable) {
  try {
    if (!db.open())
      return false;
    const std::string refused = refusal(db);
    if (!refused.empty()) {
      ShowRefusal(refused);
      return false;
    }
    return write(db);  // a failure has been shown by the store
  } catch (const DatabaseError&) {
    ShowRefusal(unreadable);
    return false;
  }
}

}  // namespace brenlow
