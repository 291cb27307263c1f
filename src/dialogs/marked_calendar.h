// MarkedCalendar: a month calendar that marks the school calendar's days by colour and by a
// text mark in the cell's corner, so that the colour is never the only sign: "休" on red for a
// whole-school day off, "班" on blue for a make-up working day, "部" on amber for a day off of
// some classes only. User-interface thread only.
#pragma once

#include <QCalendarWidget>
#include <QDate>
#include <map>

namespace brenlow {

class MarkedCalendar : public QCalendarWidget {
  Q_OBJECT

 public:
  enum class Mark { kNone, kSchoolOff, kMakeUp, kClassOff };

  explicit MarkedCalendar(QWidget* parent = nullptr);

  // Replaces every mark.
  void setMarks(const std::map<QDate, Mark>& marks);
  Mark mark(QDate date) const;
  // "休", "班", "部", or empty.
  static QString MarkText(Mark mark);
  // What each mark means, for a legend beside the calendar.
  static QString Legend();

 protected:
  void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;

 private:
  std::map<QDate, Mark> marks_;
};

}  // namespace brenlow
