// DayChangesPanel: "代课与停课", the one-day changes in the calendar window. A table lists every
// change by date, class and period with the columns of `brenlow-admin change list` ("日期",
// "班级", "节", "类型", "代课老师", "备注"); "添加…" (objectName "addChange", day_change_dlg.h)
// and "删除" ("removeChange": the selected change, after a question) do what `brenlow-admin
// change add` and `change remove` do, through the same functions (records/day_changes.h).
// User-interface thread only.
#pragma once

#include <QDate>
#include <QWidget>

#include "data/store.h"

class QTableWidget;

namespace brenlow {

class DayChangesPanel : public QWidget {
  Q_OBJECT

 public:
  // Works on store.
  explicit DayChangesPanel(Store store, QWidget* parent = nullptr);

  // Rereads the changes into the table.
  void refresh();
  // The date the add dialog starts at (the calendar's selected day).
  void setInitialDate(QDate date) { initialDate_ = date; }

  // The buttons.
  void OnAdd();
  void OnRemove();

  QTableWidget& table() { return *table_; }

 private:
  const Store store_;
  QTableWidget* table_;
  QDate initialDate_ = QDate::currentDate();
};

}  // namespace brenlow
