#include "support/modal_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

namespace brenlow::testing {

void OnNextModalDialog(std::function<void(QDialog&)> action) {
  auto* timer = new QTimer(qApp);
  auto started = std::make_shared<QElapsedTimer>();
  started->start();
  QWidget* before = QApplication::activeModalWidget();
  QObject::connect(timer, &QTimer::timeout, [timer, started, before, action = std::move(action)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog != nullptr && dialog != before && dialog->isVisible()) {
      timer->deleteLater();
      timer->stop();
      action(*dialog);
      return;
    }
    if (started->elapsed() > 5000) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal dialog appeared";
    }
  });
  timer->start(5);
}

}  // namespace brenlow::testing
