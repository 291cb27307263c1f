#include "app/qt_message_handler.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <thread>

namespace brenlow {
namespace {

using namespace std::chrono_literals;

// Closes the next modal box that appears, after noting its text, caption and buttons.
struct BoxCloser {
  QString text;
  QString caption;
  QMessageBox::StandardButtons buttons;
  void arm(QMessageBox::StandardButton press) {
    QTimer::singleShot(50, [this, press] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      text = box->text();
      caption = box->windowTitle();
      buttons = box->standardButtons();
      box->button(press)->click();
    });
  }
};

TEST(QtMessageHandler, OnTheUserInterfaceThreadTheBoxIsModalAndAnswers) {
  QtMessageHandler handler;
  InstallMessageHandler(&handler);
  BoxCloser closer;
  closer.arm(QMessageBox::Yes);
  Message question("你确定吗");
  question.caption = "修改用户名、密码";
  question.buttons = MessageButtons::kYesNo;
  EXPECT_EQ(ShowMessage(question), MessageAnswer::kYes);
  EXPECT_EQ(closer.text, "你确定吗");
  EXPECT_EQ(closer.caption, "修改用户名、密码");
  EXPECT_EQ(closer.buttons, QMessageBox::Yes | QMessageBox::No);
  InstallMessageHandler(nullptr);
}

TEST(QtMessageHandler, FromAWorkerTheCallReturnsAtOnceAndTheBoxFollowsOnTheUiThread) {
  QtMessageHandler handler;
  InstallMessageHandler(&handler);
  auto began = std::chrono::steady_clock::now();
  MessageAnswer answer = MessageAnswer::kYes;
  // The user-interface thread is blocked in join(): a worker that waited would never return.
  std::thread worker([&] { answer = ShowMessage(Message("no such table: x")); });
  worker.join();
  EXPECT_LT(std::chrono::steady_clock::now() - began, 1s);
  EXPECT_EQ(answer, MessageAnswer::kOk);

  BoxCloser closer;
  closer.arm(QMessageBox::Ok);
  QApplication::processEvents();
  EXPECT_EQ(closer.text, "no such table: x");
  EXPECT_EQ(closer.caption, kApplicationTitle);
  InstallMessageHandler(nullptr);
}

}  // namespace
}  // namespace brenlow
