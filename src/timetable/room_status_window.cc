#include "timetable/room_status_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/clock.h"
#include "data/database.h"
#include "records/day_plan.h"
#include "schedule/room_status.h"

namespace brenlow {
namespace {

enum Column { kName, kAddress, kState, kDay, kCurrent, kNext, kLastReport, kColumns };

QColor StateColour(PowerState power) {
  switch (power) {
    case PowerState::kOn:
      return QColor(0xA5, 0xD6, 0xA7);  // green
    case PowerState::kOff:
      return QColor(0xD6, 0xD6, 0xD6);  // grey
    case PowerState::kUnknown:
      break;
  }
  return QColor(0xFF, 0xD5, 0x4F);  // amber
}

// The cell at row and column, made when it is not there yet; its text replaced in place so
// that selection and scrolling are kept.
QTableWidgetItem* Cell(QTableWidget& table, int row, int column) {
  QTableWidgetItem* cell = table.item(row, column);
  if (cell == nullptr) {
    cell = new QTableWidgetItem;
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    table.setItem(row, column, cell);
  }
  return cell;
}

void SetText(QTableWidget& table, int row, int column, const std::string& text) {
  QTableWidgetItem* cell = Cell(table, row, column);
  const QString value = QString::fromStdString(text);
  if (cell->text() != value)
    cell->setText(value);
}

}  // namespace

RoomStatusWindow::RoomStatusWindow(const Clock& clock, Store store, QWidget* parent)
    : QWidget(parent, Qt::Window), clock_(clock), store_(std::move(store)) {
  setWindowTitle(QStringLiteral("教室状态"));
  table_ = new QTableWidget(0, kColumns, this);
  table_->setHorizontalHeaderLabels({QStringLiteral("班级"), QStringLiteral("中控IP"),
                                     QStringLiteral("状态"), QStringLiteral("日程"),
                                     QStringLiteral("当前课"), QStringLiteral("下一动作"),
                                     QStringLiteral("最后上报")});
  table_->setAccessibleName(QStringLiteral("教室状态"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);

  statusLine_ = new QLabel(this);
  auto* refreshButton = new QPushButton(QStringLiteral("刷新"), this);
  connect(refreshButton, &QPushButton::clicked, this, &RoomStatusWindow::refresh);
  timer_ = new QTimer(this);
  timer_->setInterval(kRoomStatusRefreshMs);
  connect(timer_, &QTimer::timeout, this, &RoomStatusWindow::refresh);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(statusLine_, 1);
  bottom->addWidget(refreshButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addLayout(bottom);
  resize(680, 440);  // ten rooms without scrolling
}

void RoomStatusWindow::refresh() {
  const LocalTime now = clock_.now();
  std::optional<std::vector<RoomStatus>> rooms = ReadRoomStatus(store_, MomentOf(now));
  if (!rooms) {
    statusLine_->setText(QStringLiteral("读取失败"));
    return;
  }
  // The selection follows its class when rows come or go before it.
  const int selectedRow = table_->currentRow();
  const QString selectedClass = selectedRow >= 0 && table_->item(selectedRow, kName)
                                    ? table_->item(selectedRow, kName)->text()
                                    : QString();
  const int count = static_cast<int>(rooms->size());
  if (table_->rowCount() != count)
    table_->setRowCount(count);
  for (int row = 0; row < count; ++row) {
    const RoomStatus& room = (*rooms)[static_cast<size_t>(row)];
    SetText(*table_, row, kName, room.name);
    SetText(*table_, row, kAddress, room.zkip);
    SetText(*table_, row, kState, PowerStateText(room.power));
    Cell(*table_, row, kState)->setBackground(StateColour(room.power));
    Cell(*table_, row, kState)->setForeground(QColor(Qt::black));
    SetText(*table_, row, kDay, DayReasonText(room.day));
    SetText(*table_, row, kCurrent, CurrentPeriodText(room));
    SetText(*table_, row, kNext, NextActionText(room));
    SetText(*table_, row, kLastReport, LastReportText(room, now.dateText()));
  }
  if (!selectedClass.isEmpty() &&
      (table_->currentRow() < 0 || !table_->item(table_->currentRow(), kName) ||
       table_->item(table_->currentRow(), kName)->text() != selectedClass)) {
    for (int row = 0; row < count; ++row) {
      if (table_->item(row, kName)->text() == selectedClass) {
        table_->selectRow(row);
        break;
      }
    }
  }
  QString status = QStringLiteral("更新于 %1:%2:%3")
                       .arg(now.hour, 2, 10, QLatin1Char('0'))
                       .arg(now.minute, 2, 10, QLatin1Char('0'))
                       .arg(now.second, 2, 10, QLatin1Char('0'));
  // A whole-school day off or make-up day is named once for all rooms.
  try {
    Database db = store_.database();
    const DayReason school = SchoolDayOf(db, now.date());
    if (school.kind == DayKind::kOff || school.kind == DayKind::kFollows)
      status += QStringLiteral("　今日全校") + QString::fromStdString(DayReasonText(school));
  } catch (const DatabaseError&) {
    // The rows were read a moment ago; the line then names the time only.
  }
  statusLine_->setText(status);
}

void RoomStatusWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  refresh();
  timer_->start();
}

void RoomStatusWindow::hideEvent(QHideEvent* event) {
  timer_->stop();
  QWidget::hideEvent(event);
}

}  // namespace brenlow
