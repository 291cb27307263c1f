// Driving dialogs in tests as a person would: set a control, press a button, and deal with the
// modal dialogs and menus that a button opens. A modal dialog blocks the test's call, so the
// action for it is queued first and runs from inside the dialog's own event loop.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace brenlow::testing {

// Runs action on the next modal widget of type Widget once it is the active one (a QMenu is
// looked for among popups). Should it not show up within 10 s, the test fails and whatever
// modal dialog is open is rejected, so the test does not hang.
template <typename Widget>
void WhenModal(std::function<void(Widget&)> action) {
  auto* timer = new QTimer;
  auto deadline = std::make_shared<QDeadlineTimer>(10000);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, action, deadline] {
    QWidget* active = std::is_base_of_v<QMenu, Widget> ? QApplication::activePopupWidget()
                                                       : QApplication::activeModalWidget();
    if (auto* widget = qobject_cast<Widget*>(active)) {
      timer->stop();
      timer->deleteLater();
      action(*widget);
    } else if (deadline->hasExpired()) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "expected modal " << Widget::staticMetaObject.className();
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
      }
    }
  });
  timer->start();
}

template <typename Control>
Control& Find(QWidget& parent, const char* objectName) {
  auto* control = parent.findChild<Control*>(QString::fromLatin1(objectName));
  if (control == nullptr) {
    ADD_FAILURE() << "no control " << objectName;
    std::abort();
  }
  return *control;
}

inline void Press(QWidget& dialog, const char* button) {
  Find<QPushButton>(dialog, button).click();
}

inline void SetText(QWidget& dialog, const char* edit, const QString& text) {
  Find<QLineEdit>(dialog, edit).setText(text);
}

// Types text into a widget key by key, as the keyboard would deliver it.
inline void Type(QWidget& widget, const QString& text) {
  for (QChar character : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(character));
    QApplication::sendEvent(&widget, &release);
  }
}

}  // namespace brenlow::testing
