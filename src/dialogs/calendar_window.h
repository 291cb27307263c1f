// CalendarWindow: "校历", the school calendar at the desktop. A month calendar marks the days
// off and make-up days (marked_calendar.h); a table lists every entry in date order with the
// columns "日期", "类型", "按星期", "班级", "备注"; "添加…" (calendar_entry_dlg.h), "删除" (the
// selected entry, after a question) and "导入…" (a holiday data set or a CSV file) do what
// `brenlow-admin calendar` does, through the same functions (records/calendar_*.h). A note
// says what the classroom terminals cannot follow. Below, the one-day changes: substitutes and
// cancelled periods (day_changes_panel.h).
//
// The entries and the changes are reread when the window is shown and after each change. Non-modal;
// user- interface thread only.
#pragma once

#include <QString>
#include <QWidget>

#include "data/store.h"

class QTableWidget;

namespace brenlow {

class DayChangesPanel;
class MarkedCalendar;

class CalendarWindow : public QWidget {
  Q_OBJECT

 public:
  // Works on store.
  explicit CalendarWindow(Store store, QWidget* parent = nullptr);

  // Rereads the entries into the table and the calendar's marks, and the one-day changes.
  void refresh();

  // The buttons.
  void OnAdd();
  void OnRemove();
  void OnImport();
  // Imports the file at path as "导入…" does once the file is chosen, and tells the outcome.
  void importFile(const QString& path);

  QTableWidget& table() { return *table_; }
  MarkedCalendar& calendar() { return *calendar_; }
  DayChangesPanel& changes() { return *changes_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const Store store_;
  MarkedCalendar* calendar_;
  QTableWidget* table_;
  DayChangesPanel* changes_;
};

}  // namespace brenlow
