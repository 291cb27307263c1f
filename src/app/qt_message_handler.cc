#include "app/qt_message_handler.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <string>

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

std::string NotShownText(uint64_t count) {
  return "另有" + std::to_string(count) + "条后台消息未弹出，已写入标准错误输出。";
}

namespace {

using WorkerBoxes = QtMessageHandler::WorkerBoxes;

void QueueWorkerBox(const Message& message, std::shared_ptr<WorkerBoxes> boxes);

// Shows the worker box, then one box for what was counted meanwhile, as long as more came.
void ShowWorkerBoxes(Message message, const std::shared_ptr<WorkerBoxes>& boxes) {
  while (boxes->queueBoxes.load()) {
    ShowMessageBox(message);
    uint64_t notShown = boxes->notShown.exchange(0);
    if (notShown == 0)
      break;
    message = Message(NotShownText(notShown), MessageIcon::kWarning);
  }
  boxes->boxPending.store(false);
  // Counted after the last look and before the box was free: said by a box of its own.
  if (uint64_t late = boxes->notShown.exchange(0); late > 0) {
    bool free = false;
    if (boxes->boxPending.compare_exchange_strong(free, true)) {
      QueueWorkerBox(Message(NotShownText(late), MessageIcon::kWarning), boxes);
    } else {
      boxes->notShown.fetch_add(late);
    }
  }
}

void QueueWorkerBox(const Message& message, std::shared_ptr<WorkerBoxes> boxes) {
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [message, boxes = std::move(boxes)] {
        if (boxes->queueBoxes.load()) {
          ShowWorkerBoxes(message, boxes);
        } else {
          boxes->boxPending.store(false);
        }
      },
      Qt::QueuedConnection);
}

}  // namespace

MessageAnswer QtMessageHandler::show(const Message& message) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application != nullptr && QThread::currentThread() == application->thread()) {
    return ShowMessageBox(message);
  }
  WriteStderrLine(message.text);
  if (application != nullptr && workerBoxes_->queueBoxes.load()) {
    bool free = false;
    if (workerBoxes_->boxPending.compare_exchange_strong(free, true)) {
      QueueWorkerBox(message, workerBoxes_);
    } else {
      workerBoxes_->notShown.fetch_add(1);
    }
  }
  return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

}  // namespace brenlow
