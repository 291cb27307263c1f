// DayChangeDlg: "添加代课或停课", one one-day change as `brenlow-admin change add` writes it: a
// date, a class, a period (1 to 7, counted among the periods that apply that day) and either a
// substitute teacher or a cancelled lesson, with a note. The change of the same date, class and
// period is replaced. Controls by objectName: "date" (date edit), "class", "period" (1-7),
// "kind" (代课, 停课), "teacher" (every teacher as NameNumb; substitutes only), "note", and the
// "ok" button. Modal; user-interface thread only.
#pragma once

#include <QDate>
#include <QDialog>

#include "data/store.h"

class QComboBox;
class QDateEdit;
class QLineEdit;

namespace brenlow {

class DayChangeDlg : public QDialog {
  Q_OBJECT

 public:
  // initial: the date the date edit starts at.
  // Works on store.
  explicit DayChangeDlg(Store store, QDate initial, QWidget* parent = nullptr);

  // Checks the change and writes it; a refusal or a store failure is shown through the message
  // interface and the dialog stays open.
  void accept() override;

 private:
  const Store store_;
  void kindChanged();

  QDateEdit* date_;
  QComboBox* class_;
  QComboBox* period_;
  QComboBox* kind_;
  QComboBox* teacher_;  // item data: the teacher's number
  QLineEdit* note_;
};

}  // namespace brenlow
