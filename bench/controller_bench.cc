// controller_bench: how fast the controller listener keeps Status up to date, and how long one
// minute of the scheduler takes over a school of 1000 classes. Prints its figures; not a test.
//
//   build-release/bench/controller_bench [--seconds S] [--rate N] [--tick-only]
//
// 1. 100 controllers (127.0.1.1 to 127.0.1.100) send N datagrams a second in all (default
//    5,000) for S seconds (default 5), each a random power state. Meanwhile another writer
//    edits a course row every 100 ms with full durability, as the editor and the client port
//    do. The listener records power changes and last reports through the event writer, as
//    the program's does. Printed: datagrams sent and handled, lost ones, the listener thread's CPU
//    share, classes whose Status differs from what their controller last sent, and the editor's
//    slowest edit.
// 2. The same controllers send as fast as the listener takes them: the rate at which it
//    handles datagrams when every one changes a Status, and when none does.
// 3. One scheduler minute (RunSchedule) over 1000 classes (7,000 periods of the day, nothing
//    due): the time of one tick.
#include <pthread.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "controllers/controller_datagram.h"
#include "controllers/controller_listener.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/weekdays.h"
#include "data/database.h"
#include "data/schema.h"
#include "data/store.h"
#include "events/event_log.h"
#include "events/event_writer.h"
#include "net/socket.h"
#include "schedule/run_schedule.h"

namespace brenlow {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kClasses = 1000;
constexpr int kControllers = 100;

std::string ControllerAddress(int n) {
  return "127.0.1." + std::to_string(n + 1);
}

double Seconds(Clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

double ThreadCpuSeconds(std::jthread& thread) {
  clockid_t clock;
  timespec time{};
  if (pthread_getcpuclockid(thread.native_handle(), &clock) != 0)
    return 0;
  clock_gettime(clock, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

// A school of 1000 classes with 35 periods each (7 a day from 08:00, both flags set), a
// teacher per class and 7 course rows per class, the first 100 classes with controllers.
bool FillStore(const Store& store) {
  Database db = store.database();
  if (!db.open())
    return false;
  db.execute("BEGIN");
  for (int c = 0; c < kClasses; ++c) {
    const std::string name = "班" + std::to_string(c);
    const std::string controller =
        c < kControllers ? ControllerAddress(c)
                         : "10.1." + std::to_string(c / 250) + "." + std::to_string(c % 250 + 1);
    db.execute(FormatStatement("Insert into tblbj (Name, ZKIP, PCIP) Values ('%s','%s','%s')", name,
                               controller, controller));
    const std::string teacher = "老师" + std::to_string(c) + "(" + std::to_string(c) + ")";
    db.execute(
        FormatStatement("Insert into tblThMes (Numb, Name, NameNumb, UseTime) Values "
                        "('%s','%s','%s','0')",
                        std::to_string(c), "老师" + std::to_string(c), teacher));
    for (const char* week : kSchoolWeekdays) {
      for (int p = 0; p < kPeriodsPerDay; ++p) {
        int start = 8 * 60 + p * 55;
        int end = start + 45;
        db.execute(FormatStatement(
            "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, AutoOn, AutoOff, "
            "ThName) Values ('%s','%s','%s','%s','%s','%s',%d,%d,'%s')",
            name, week, std::to_string(start / 60), std::to_string(start % 60),
            std::to_string(end / 60), std::to_string(end % 60), 1, 1, teacher));
      }
    }
    for (int p = 0; p < kPeriodsPerDay; ++p) {
      db.execute(FormatStatement("Insert into tblkc (BJName) Values ('%s')", name));
    }
  }
  return db.execute("COMMIT");
}

struct Controllers {
  std::vector<Socket> sockets;
  std::vector<int> lastSent = std::vector<int>(kControllers, -1);

  bool open() {
    for (int n = 0; n < kControllers; ++n) {
      std::string error;
      sockets.push_back(Socket::BindUdp(ControllerAddress(n), 0, &error));
      if (!sockets.back().isOpen()) {
        std::fprintf(stderr, "controller_bench: %s\n", error.c_str());
        return false;
      }
    }
    return true;
  }

  void send(int n, bool powered, uint16_t port) {
    std::vector<uint8_t> datagram = PowerStateDatagram(powered);
    sockets[n].sendTo("127.0.0.1", port, datagram.data(), datagram.size(), nullptr);
    lastSent[n] = powered ? 1 : 0;
  }
};

// Waits until the listener has taken count datagrams or has taken none for a second.
void WaitForListener(const ControllerListener& listener, uint64_t count) {
  uint64_t seen = listener.datagramsReceived();
  auto quietSince = Clock::now();
  while (seen < count && Clock::now() - quietSince < 1s) {
    std::this_thread::sleep_for(1ms);
    uint64_t now = listener.datagramsReceived();
    if (now != seen)
      quietSince = Clock::now();
    seen = now;
  }
}

int StatusMismatches(const Store& store, const Controllers& controllers) {
  Database db = store.database();
  db.open();
  int mismatches = 0;
  for (int n = 0; n < kControllers; ++n) {
    if (controllers.lastSent[n] < 0)
      continue;
    RecordSet row =
        db.query(FormatStatement("select Status from tblbj where ZKIP='%s'", ControllerAddress(n)));
    if (row.isEof() || row.fieldText("Status") != std::to_string(controllers.lastSent[n])) {
      ++mismatches;
    }
  }
  return mismatches;
}

// The other writer: one course edit every 100 ms with full durability, timing each.
class EditWriter {
 public:
  explicit EditWriter(Store store) : store_(std::move(store)) {}

  void start() {
    thread_ = std::jthread([this](std::stop_token stop) {
      Database db = store_.database();
      db.open();
      int n = 0;
      while (!stop.stop_requested()) {
        auto begin = Clock::now();
        db.execute(FormatStatement("Update tblkc set Monday='%s' where ID=%d",
                                   "课" + std::to_string(n), n % (kClasses * 7) + 1));
        auto took = Clock::now() - begin;
        worst_ = std::max(worst_.load(), Seconds(took));
        ++edits_;
        ++n;
        std::this_thread::sleep_for(100ms);
      }
    });
  }
  void stop() {
    thread_.request_stop();
    thread_.join();
  }
  int edits() const { return edits_; }
  double worst() const { return worst_; }

 private:
  const Store store_;
  std::jthread thread_;
  std::atomic<int> edits_{0};
  std::atomic<double> worst_{0};
};

void PacedRun(const Store& store, ControllerListener& listener, std::jthread& listenerThread,
              Controllers& controllers, int rate, int seconds) {
  std::mt19937 random(42);
  EditWriter writer(store);
  writer.start();
  const uint64_t before = listener.datagramsReceived();
  const double cpuBefore = ThreadCpuSeconds(listenerThread);
  const auto begin = Clock::now();
  const int total = rate * seconds;
  // Sent in slices of one millisecond, so the rate is even over the run.
  const int perSlice = std::max(1, rate / 1000);
  int sent = 0;
  auto next = begin;
  while (sent < total) {
    for (int i = 0; i < perSlice && sent < total; ++i, ++sent) {
      controllers.send(sent % kControllers, random() % 2 == 0, listener.port());
    }
    next += std::chrono::microseconds(1000000 * perSlice / rate);
    std::this_thread::sleep_until(next);
  }
  WaitForListener(listener, before + static_cast<uint64_t>(total));
  const auto elapsed = Clock::now() - begin;
  const double cpu = ThreadCpuSeconds(listenerThread) - cpuBefore;
  writer.stop();
  const uint64_t handled = listener.datagramsReceived() - before;
  std::printf("paced: %d controllers, %d datagrams/s for %d s\n", kControllers, rate, seconds);
  std::printf("  sent %d, handled %llu, lost %lld, in %.2f s (%.0f datagrams/s handled)\n", total,
              static_cast<unsigned long long>(handled),
              static_cast<long long>(total) - static_cast<long long>(handled), Seconds(elapsed),
              static_cast<double>(handled) / Seconds(elapsed));
  std::printf("  listener CPU %.2f s of %.2f s = %.0f%% of one core\n", cpu, Seconds(elapsed),
              100 * cpu / Seconds(elapsed));
  std::printf("  classes whose Status differs from their controller's last report: %d\n",
              StatusMismatches(store, controllers));
  std::printf("  other writer: %d edits, slowest %.1f ms\n", writer.edits(), writer.worst() * 1000);
}

void SaturatedRun(ControllerListener& listener, Controllers& controllers, bool changing) {
  const int total = 50000;
  const uint64_t before = listener.datagramsReceived();
  const auto begin = Clock::now();
  for (int i = 0; i < total; ++i) {
    int n = i % kControllers;
    bool powered = changing ? controllers.lastSent[n] != 1 : true;
    controllers.send(n, powered, listener.port());
    // Hands the listener the processor now and then: on a 2-core machine a sender that never
    // yields measures the scheduler, not the listener.
    if (i % 200 == 199) {
      while (listener.datagramsReceived() - before + 2000 < static_cast<uint64_t>(i)) {
        std::this_thread::yield();
      }
    }
  }
  WaitForListener(listener, before + total);
  const auto elapsed = Clock::now() - begin;
  const uint64_t handled = listener.datagramsReceived() - before;
  std::printf("saturated, %s: %llu of %d handled in %.2f s = %.0f datagrams/s\n",
              changing ? "every datagram changes a Status" : "no datagram changes a Status",
              static_cast<unsigned long long>(handled), total, Seconds(elapsed),
              static_cast<double>(handled) / Seconds(elapsed));
}

void TickRun(const Store& store) {
  // 23:30 on a Wednesday: 7,000 periods of the day, none starting, ending or due for credit.
  const LocalTime minute = MakeLocalTime(2024, 3, 6, 23, 30);
  std::vector<double> times;
  for (int i = 0; i < 200; ++i) {
    auto begin = Clock::now();
    RunSchedule(store, minute);
    times.push_back(Seconds(Clock::now() - begin) * 1000);
  }
  std::sort(times.begin(), times.end());
  std::printf(
      "scheduler tick over %d classes (%d periods of the day, nothing due): "
      "median %.2f ms, slowest %.2f ms of %zu\n",
      kClasses, kClasses * kPeriodsPerDay, times[times.size() / 2], times.back(), times.size());
}

int Run(int argc, char** argv) {
  int seconds = 5;
  int rate = 5000;
  bool tickOnly = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--tick-only") {
      tickOnly = true;
    } else if ((option == "--seconds" || option == "--rate") && i + 1 < argc) {
      (option == "--seconds" ? seconds : rate) = std::max(1, atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: controller_bench [--seconds S] [--rate N] [--tick-only]\n");
      return 2;
    }
  }
  char pattern[] = "/tmp/brenlow-bench-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string path = folder + "/bench.db";
  std::string error;
  if (!CreateDatabase(path, &error)) {
    std::fprintf(stderr, "controller_bench: %s\n", error.c_str());
    return 1;
  }
  const Store store(path);
  if (!FillStore(store))
    return 1;

  if (tickOnly) {
    TickRun(store);
    std::filesystem::remove_all(folder);
    return 0;
  }
  SystemClock clock;
  EventWriter events(clock, path);
  InstallEventWriter(&events);
  events.start();
  ControllerListener listener(clock, store);
  if (!listener.bind("127.0.0.1", 0, &error)) {
    std::fprintf(stderr, "controller_bench: %s\n", error.c_str());
    return 1;
  }
  std::jthread listenerThread([&listener](std::stop_token stop) { listener.run(stop); });
  Controllers controllers;
  if (!controllers.open())
    return 1;

  PacedRun(store, listener, listenerThread, controllers, rate, seconds);
  SaturatedRun(listener, controllers, true);
  SaturatedRun(listener, controllers, false);
  listenerThread.request_stop();
  listenerThread.join();
  InstallEventWriter(nullptr);
  events.stop();
  std::printf("events recorded: %s, lost: %llu\n",
              store.database().query("select count(*) as n from tbl_events").fieldText("n").c_str(),
              static_cast<unsigned long long>(events.lost()));
  TickRun(store);
  std::filesystem::remove_all(folder);
  return 0;
}

}  // namespace
}  // namespace brenlow

int main(int argc, char** argv) {
  return brenlow::Run(argc, argv);
}
