// RoomStatusWindow: "教室状态", the rooms at a glance. One row per class (tblbj order) with its
// controller address, its power state as last reported (the cell's colour says the same as its
// text: green 已开机, grey 已关机, amber 未知), its day by the school calendar ("上课", "周末",
// "放假：NOTE", "调休：按星期三"), the period running now and the next time today at which the
// scheduler will power the room on or off. The status line names a whole-school day off or
// make-up day. The rows are the ones
// `brenlow-admin status` prints (schedule/room_status.h), read at the clock's minute.
//
// While shown it rereads the store every 5 s and at once on "刷新", updating the cells in place
// so that the scroll position stays and the selection stays on its class; hidden, it reads nothing.
// A read that fails shows "读取失败" in the status line and leaves the rows as they were.
// Non-modal; the clock must outlive the window. User-interface thread only.
#pragma once

#include <QWidget>

#include "data/store.h"

class QLabel;
class QTableWidget;
class QTimer;

namespace brenlow {

class Clock;

inline constexpr int kRoomStatusRefreshMs = 5000;

class RoomStatusWindow : public QWidget {
  Q_OBJECT

 public:
  // Shows the rooms of store. The clock must outlive the window.
  RoomStatusWindow(const Clock& clock, Store store, QWidget* parent = nullptr);

  // Reads the store and updates the rows and the status line.
  void refresh();

  QTableWidget& table() { return *table_; }
  QLabel& statusLine() { return *statusLine_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  const Clock& clock_;
  const Store store_;
  QTableWidget* table_;
  QLabel* statusLine_;
  QTimer* timer_;
};

}  // namespace brenlow
