#include "app/qt_message_handler.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <thread>
#include <vector>

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

// A failing store makes every request of every terminal report from a worker: the boxes must
// not pile up. One is open at a time; the next says how many messages went to stderr only.
TEST(QtMessageHandler, WorkerMessagesOpenOneBoxAtATimeAndTheNextSaysHowManyMore) {
  QtMessageHandler handler;
  InstallMessageHandler(&handler);
  std::thread worker([] {
    for (int i = 0; i < 1000; ++i)
      ShowMessage(Message("unable to open database file"));
  });
  worker.join();

  std::vector<QString> seen;
  int mostOpen = 0;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&] {
    int open = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
      open += qobject_cast<QMessageBox*>(widget) != nullptr && widget->isVisible();
    mostOpen = std::max(mostOpen, open);
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen.push_back(box->text());
      box->button(QMessageBox::Ok)->click();
    }
  });
  closer.start();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000 && seen.size() < 2)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  for (QElapsedTimer quiet; !quiet.isValid() || quiet.elapsed() < 300;) {
    if (!quiet.isValid())
      quiet.start();
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  closer.stop();
  EXPECT_EQ(mostOpen, 1);
  EXPECT_EQ(seen, (std::vector<QString>{"unable to open database file",
                                        QString::fromStdString(NotShownText(999))}));

  // Once the boxes are closed, the next worker message has a box of its own again.
  std::thread later([] { ShowMessage(Message("database is locked")); });
  later.join();
  BoxCloser again;
  again.arm(QMessageBox::Ok);
  QApplication::processEvents();
  EXPECT_EQ(again.text, "database is locked");
  InstallMessageHandler(nullptr);
}

}  // namespace
}  // namespace brenlow
