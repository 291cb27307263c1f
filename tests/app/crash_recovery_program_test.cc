// The headless server killed (SIGKILL) in the middle of a burst of edits through the client
// port: started again on the same file, the store is intact and holds every edit that was
// acknowledged before the kill.
//
// Writers edit on connections of their own, each sending an edit and a teacher list request in
// one send and waiting for the list: the list is answered after the edit was carried out, so
// an answered list acknowledges its edit. Each writer owns its rows and numbers its edits, so a
// row must hold its last acknowledged number or a later one (an edit in flight may have landed).
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <thread>

#include "support/headless_server.h"
#include "support/served_program.h"
#include "support/temp_database.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::ConnectWhenServed;
using testing::HeadlessServer;
using testing::kOneTeacherListSize;
using testing::Quote;
using testing::RequestBytes;
using testing::TempDatabase;
using testing::WaitFor;

constexpr const char* kClass = "一班";
constexpr const char* kMac = "AA-01";
constexpr const char* kWeekdays[] = {"星期一", "星期二", "星期三", "星期四", "星期五"};
constexpr int kPeriodSlots = 35;  // 7 periods on each of 5 weekdays
constexpr int kCourseRows = 7;
constexpr int kPeriodWriters = 3;

// Row keys: "period <slot>" (weekday slot / 7, row slot % 7) and "course <row>".
using Numbers = std::map<std::string, long>;

// One writer: edits its rows in turn with growing numbers until its connection ends.
class Writer {
 public:
  // Period writer w takes the period slots w, w + kPeriodWriters, ...; writer -1 the course rows.
  explicit Writer(int index) : index_(index) {}

  void start(long firstNumber) {
    number_ = firstNumber;
    thread_ = std::thread([this] { run(); });
  }
  void join() { thread_.join(); }
  long acknowledgedCount() const { return acknowledgedCount_.load(); }
  const Numbers& acknowledged() const { return acknowledged_; }
  const Numbers& sent() const { return sent_; }

 private:
  void run() {
    TerminalConnection connection = ConnectWhenServed(kClientPort);
    const std::string ack = RequestBytes(kTeacherListKind, kMac);
    for (int turn = 0; connection.isOpen(); ++turn, ++number_) {
      std::string key;
      std::string edit;
      if (index_ < 0) {
        CourseEditRequest course;
        course.row = turn % kCourseRows;
        course.bjName = kClass;
        course.days[0] = std::to_string(number_);
        key = "course " + std::to_string(course.row);
        edit = CourseEditRequestBytes(course);
      } else {
        int slots = (kPeriodSlots - index_ + kPeriodWriters - 1) / kPeriodWriters;
        int slot = index_ + kPeriodWriters * (turn % slots);
        PeriodEditRequest period;
        period.row = slot % 7;
        period.week = kWeekdays[slot / 7];
        period.bjName = kClass;
        period.startH = "8";
        period.startM = "0";
        period.endH = "8";
        period.endM = "45";
        period.thName = std::to_string(number_);
        period.autoOn = 1;
        key = "period " + std::to_string(slot);
        edit = PeriodEditRequestBytes(period);
      }
      sent_[key] = number_;
      if (!connection.send(edit + ack))
        return;
      if (connection.receive(kOneTeacherListSize, 10s).size() != kOneTeacherListSize)
        return;  // the server is gone
      acknowledged_[key] = number_;
      acknowledgedCount_.fetch_add(1);
    }
  }

  int index_;
  long number_ = 0;
  Numbers acknowledged_;  // written by the writer's thread, read after join
  Numbers sent_;          // the same
  std::atomic<long> acknowledgedCount_{0};
  std::thread thread_;
};

// What the store holds now, by row key.
Numbers Stored(const TempDatabase& store) {
  Numbers stored;
  int slot = 0;
  for (const char* week : kWeekdays) {
    for (const std::string& text :
         store.column("select ThName from tblkcTime where BJName=" + Quote(kClass) +
                      " and Week=" + Quote(week) + " Order by ID")) {
      stored["period " + std::to_string(slot++)] = text == " " ? -1 : std::stol(text);
    }
  }
  int row = 0;
  for (const std::string& text :
       store.column("select Monday from tblkc where BJName=" + Quote(kClass) + " Order by ID")) {
    stored["course " + std::to_string(row++)] = text.empty() ? -1 : std::stol(text);
  }
  return stored;
}

TEST(CrashRecoveryProgram, SigkillDuringEditsLeavesAnIntactStoreWithEveryAcknowledgedEdit) {
  TempDatabase store;
  store.addClass(kClass, "", kMac);
  store.addTeacher("1", "张老师");
  for (int row = 0; row < kCourseRows; ++row)
    store.exec("Insert into tblkc (BJName) Values (" + Quote(kClass) + ")");

  long number = 0;
  Numbers acknowledged;
  // Killed at different moments of the burst: after so many more edits were acknowledged.
  for (long killAfter : {1, 30, 120}) {
    SCOPED_TRACE("killed " + std::to_string(killAfter) + " edits into the burst");
    HeadlessServer server(store.path());
    ASSERT_TRUE(server.ready());
    std::vector<std::unique_ptr<Writer>> writers;
    for (int w = -1; w < kPeriodWriters; ++w) {
      writers.push_back(std::make_unique<Writer>(w));
      writers.back()->start(number);
      number += 1000000;  // each writer's numbers stay apart from every other's
    }
    // The burst is under way once every writer had an edit acknowledged.
    auto acknowledgedInAll = [&] {
      long count = 0;
      for (const auto& writer : writers)
        count += writer->acknowledgedCount();
      return count;
    };
    EXPECT_TRUE(WaitFor([&] {
      return std::all_of(writers.begin(), writers.end(),
                         [](const auto& writer) { return writer->acknowledgedCount() > 0; });
    }));
    const long underWay = acknowledgedInAll();
    EXPECT_TRUE(WaitFor([&] { return acknowledgedInAll() >= underWay + killAfter; }));
    ASSERT_EQ(server.kill(), 128 + SIGKILL);
    for (const auto& writer : writers) {
      writer->join();
      EXPECT_FALSE(writer->acknowledged().empty()) << "no edit acknowledged before the kill";
      for (const auto& [key, value] : writer->acknowledged())
        acknowledged[key] = value;
    }

    // Started again on the same file: the store is intact and every acknowledged edit is in.
    HeadlessServer again(store.path());
    ASSERT_TRUE(again.ready());
    TerminalConnection terminal = ConnectWhenServed(kTerminalPort);
    ASSERT_TRUE(terminal.send(RequestBytes(2, kMac)));
    EXPECT_EQ(terminal.receive(kPeriodSlots * 120, 10s).size(), kPeriodSlots * 120u);
    EXPECT_EQ(store.value("PRAGMA integrity_check"), "ok");
    Numbers stored = Stored(store);
    for (const auto& [key, value] : acknowledged) {
      EXPECT_GE(stored[key], value) << key;
    }
    for (const auto& writer : writers) {
      for (const auto& [key, value] : writer->sent()) {
        EXPECT_LE(stored[key], value) << key << " holds a number never sent";
      }
    }
    EXPECT_EQ(again.stop(), 0) << again.errors();
  }
}

}  // namespace
}  // namespace brenlow
