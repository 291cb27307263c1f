#include "dialogs/marked_calendar.h"

#include <QPainter>
#include <QTextCharFormat>

namespace brenlow {
namespace {

QColor MarkColour(MarkedCalendar::Mark mark) {
  switch (mark) {
    case MarkedCalendar::Mark::kSchoolOff:
      return QColor(0xEF, 0x9A, 0x9A);  // red
    case MarkedCalendar::Mark::kMakeUp:
      return QColor(0x90, 0xCA, 0xF9);  // blue
    case MarkedCalendar::Mark::kClassOff:
      return QColor(0xFF, 0xD5, 0x4F);  // amber
    case MarkedCalendar::Mark::kNone:
      break;
  }
  return QColor();
}

}  // namespace

MarkedCalendar::MarkedCalendar(QWidget* parent) : QCalendarWidget(parent) {
  // Month and day names in Chinese like the rest of the interface, whatever the process's locale.
  setLocale(QLocale(QLocale::Chinese, QLocale::China));
  setGridVisible(true);
  setFirstDayOfWeek(Qt::Monday);
  setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  // Cells large enough for the day and its mark side by side.
  setMinimumSize(380, 260);
}

void MarkedCalendar::setMarks(const std::map<QDate, Mark>& marks) {
  marks_ = marks;
  setDateTextFormat(QDate(), QTextCharFormat());  // clears every date's format
  for (const auto& [date, mark] : marks_) {
    QTextCharFormat format;
    format.setBackground(MarkColour(mark));
    format.setForeground(QColor(Qt::black));
    format.setFontWeight(QFont::Bold);
    setDateTextFormat(date, format);
  }
  updateCells();
}

MarkedCalendar::Mark MarkedCalendar::mark(QDate date) const {
  auto found = marks_.find(date);
  return found != marks_.end() ? found->second : Mark::kNone;
}

QString MarkedCalendar::MarkText(Mark mark) {
  switch (mark) {
    case Mark::kSchoolOff:
      return QStringLiteral("休");
    case Mark::kMakeUp:
      return QStringLiteral("班");
    case Mark::kClassOff:
      return QStringLiteral("部");
    case Mark::kNone:
      break;
  }
  return QString();
}

QString MarkedCalendar::Legend() {
  return QStringLiteral("休：全校放假　班：调休上课　部：部分班级放假");
}

void MarkedCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
  QCalendarWidget::paintCell(painter, rect, date);
  const QString text = MarkText(mark(date));
  if (text.isEmpty())
    return;
  painter->save();
  QFont font = painter->font();
  font.setPointSizeF(font.pointSizeF() * 0.85);
  painter->setFont(font);
  painter->setPen(QColor(Qt::black));
  painter->drawText(rect.adjusted(2, 1, -3, -1), Qt::AlignBottom | Qt::AlignRight, text);
  painter->restore();
}

}  // namespace brenlow
