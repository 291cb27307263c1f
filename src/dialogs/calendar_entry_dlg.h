// CalendarEntryDlg: "添加校历", one calendar entry as `brenlow-admin calendar add` writes it: a
// day off (one date or a range of at most 366 days, the whole school or one class) or a
// whole-school make-up day that runs one weekday's periods. An entry of the same date and class
// is replaced. Controls by objectName: "from", "to" (date edits), "kind" (放假, 调休上课),
// "weekday" (星期一 to 星期五, make-up days only), "class" (全校 and every class; days off
// only), "note", and the "ok" button. Modal; user-interface thread only.
#pragma once

#include <QDate>
#include <QDialog>

#include "data/store.h"

class QComboBox;
class QDateEdit;
class QLineEdit;

namespace brenlow {

class CalendarEntryDlg : public QDialog {
  Q_OBJECT

 public:
  // initial: the date both date edits start at.
  // Works on store.
  explicit CalendarEntryDlg(Store store, QDate initial, QWidget* parent = nullptr);

  // Checks the entry and writes it; a refusal or a store failure is shown through the message
  // interface and the dialog stays open.
  void accept() override;

 private:
  const Store store_;
  void kindChanged();

  QDateEdit* from_;
  QDateEdit* to_;
  QComboBox* kind_;
  QComboBox* weekday_;
  QComboBox* class_;
  QLineEdit* note_;
};

}  // namespace brenlow
