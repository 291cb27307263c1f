#include "app/qt_message_handler.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

namespace brenlow {

MessageAnswer ShowMessageBox(const Message& message) {
  QMessageBox box;
  box.setWindowTitle(QString::fromStdString(message.caption));
  box.setText(QString::fromStdString(message.text));
  if (!message.detail.empty())
    box.setDetailedText(QString::fromStdString(message.detail));
  switch (message.icon) {
    case MessageIcon::kNone:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MessageIcon::kInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case MessageIcon::kWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MessageIcon::kQuestion:
      box.setIcon(QMessageBox::Question);
      break;
  }
  if (message.buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MessageAnswer::kOk;
}

MessageAnswer QtMessageHandler::show(const Message& message) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application != nullptr && QThread::currentThread() == application->thread()) {
    return ShowMessageBox(message);
  }
  WriteStderrLine(message.text);
  if (application != nullptr && queueBoxes_->load()) {
    QMetaObject::invokeMethod(
        application,
        [message, queueBoxes = queueBoxes_] {
          if (queueBoxes->load())
            ShowMessageBox(message);
        },
        Qt::QueuedConnection);
  }
  return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

}  // namespace brenlow
