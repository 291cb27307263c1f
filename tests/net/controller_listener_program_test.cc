// The real brenlow, headless, against brenlow-controller: the controller's reports become the
// class's Status and the teacher's swipe powers the classroom on.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <thread>

#include "core/clock.h"
#include "core/weekdays.h"
#include "support/temp_database.h"
#include "support/udp_capture.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::LoopbackAddress;
using testing::Quote;
using testing::TempDatabase;

QString Program(const char* variable, const char* name) {
  const char* folder = std::getenv(variable);
  return QString::fromUtf8(folder ? folder : ".") + "/" + name;
}

// Runs brenlow-controller to its end and returns its standard output.
QString RunController(const QStringList& arguments) {
  QProcess tool;
  tool.start(Program("BRENLOW_TOOLS_DIR", "brenlow-controller"), arguments);
  EXPECT_TRUE(tool.waitForFinished(10000)) << arguments.join(' ').toStdString();
  EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  return QString::fromUtf8(tool.readAllStandardOutput());
}

class ControllerProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another copy of brenlow (a test of another build on this computer) holds the
    // single-instance lock for a while: this one then ends at once, and is started again.
    auto deadline = std::chrono::steady_clock::now() + 60s;
    do {
      server_.start(Program("BRENLOW_BIN_DIR", "brenlow"),
                    {"--headless", "--listen", "127.0.0.1", "--database",
                     QString::fromStdString(store_.path())});
      ASSERT_TRUE(server_.waitForStarted(5000)) << server_.errorString().toStdString();
      if (!server_.waitForFinished(500))
        return;
      std::this_thread::sleep_for(500ms);
    } while (std::chrono::steady_clock::now() < deadline);
    FAIL() << "brenlow ended at once: " << server_.readAllStandardError().toStdString();
  }

  void TearDown() override {
    if (server_.state() == QProcess::NotRunning)
      return;
    auto asked = std::chrono::steady_clock::now();
    server_.terminate();  // SIGTERM
    EXPECT_TRUE(server_.waitForFinished(2000)) << "brenlow did not end within 2 s of SIGTERM";
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
    EXPECT_EQ(server_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server_.exitCode(), 0);
    if (server_.state() != QProcess::NotRunning)
      server_.kill();
  }

  // Sends the power state from the controller until the store shows it (the listener starts a
  // moment after the program).
  void reportUntilStored(const std::string& controller, bool powered) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    const std::string wanted = powered ? "1" : "0";
    while (std::chrono::steady_clock::now() < deadline) {
      RunController({"--from", QString::fromStdString(controller), "--server", "127.0.0.1",
                     powered ? "on" : "off"});
      for (int i = 0; i < 10; ++i) {
        if (store_.value("select Status from tblbj where Name='一班'") == wanted)
          return;
        std::this_thread::sleep_for(10ms);
      }
    }
    FAIL() << "Status never became " << wanted;
  }

  TempDatabase store_;
  QProcess server_;
};

TEST_F(ControllerProgramTest, ReportsSetStatusAndTheTeachersSwipePowersOn) {
  const std::string controller = LoopbackAddress(40);
  store_.addClass("一班", controller);
  store_.addTeacher("1-2-3-4", "张老师");
  // A period of the teacher in progress now, by the same local clock the program reads.
  LocalTime now = SystemClock().now();
  int start = std::max(0, now.minutesSinceMidnight() - 1);
  int end = now.minutesSinceMidnight() + 5;
  store_.exec(
      "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) Values "
      "('一班'," +
      Quote(WeekdayText(now.weekday)) + "," + Quote(std::to_string(start / 60)) + "," +
      Quote(std::to_string(start % 60)) + "," + Quote(std::to_string(end / 60)) + "," +
      Quote(std::to_string(end % 60)) + ",'张老师(1-2-3-4)')");

  reportUntilStored(controller, true);
  reportUntilStored(controller, false);

  QProcess capture;
  capture.start(Program("BRENLOW_TOOLS_DIR", "brenlow-controller"),
                {"listen", "--address", QString::fromStdString(controller), "--count", "1",
                 "--seconds", "10"});
  ASSERT_TRUE(capture.waitForReadyRead(5000));  // "listening on ..."
  RunController({"--from", QString::fromStdString(controller), "card", "1-2-3-4"});
  ASSERT_TRUE(capture.waitForFinished(15000));
  QString printed = QString::fromUtf8(capture.readAllStandardOutput());
  EXPECT_TRUE(printed.contains(": EB 00 01 01 00 A0 07 ED power on\n")) << printed.toStdString();
  EXPECT_EQ(printed.count("\n"), 2) << printed.toStdString();
}

}  // namespace
}  // namespace brenlow
