#include "timetable/time_edit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace brenlow {
namespace {

// Typed text is refused when it holds a printable character that is not an ASCII digit.
bool IsRefusedTimeInput(const QString& text) {
  for (QChar c : text) {
    if (c.isPrint() && (c < u'0' || c > u'9'))
      return true;
  }
  return false;
}

}  // namespace

TimeEdit::TimeEdit(QWidget* parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignCenter);
  setMaxLength(32767);  // Qt's largest: no limit of the edit's own
}

void TimeEdit::keyPressEvent(QKeyEvent* event) {
  // Shortcuts (copy, paste, select all) and editing keys carry no printable text.
  bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (!shortcut && IsRefusedTimeInput(event->text())) {
    QApplication::beep();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TimeEdit::inputMethodEvent(QInputMethodEvent* event) {
  // An input method (a Chinese one, say) commits whole strings; they obey the same rule.
  if (IsRefusedTimeInput(event->commitString())) {
    QInputMethodEvent digitsOnly(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&digitsOnly);
    QApplication::beep();
    return;
  }
  QLineEdit::inputMethodEvent(event);
}

}  // namespace brenlow
