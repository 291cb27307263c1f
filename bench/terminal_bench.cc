// terminal_bench: how fast the terminal ports answer. Prints its figures; not a test.
//
//   build-release/bench/terminal_bench [--seconds S] [--rounds N] [--backlog B]
//
// A database of 100 classes (35 periods and 7 course rows each) and 60 teachers. Each port's
// service runs in this process in select loops on ephemeral loopback ports, exactly as the
// program runs it, once without and once with its reply cache: one loop with 1 terminal
// connected, one with 32 and one with 1000, all connected at once. For every request kind that
// has a reply, the terminals of each loop in turn ask as fast as they are answered (1, 32 and 32
// of the 1000 asking, the others silent) for S seconds (default 1) after a warm-up. Printed per
// kind, cache and loop: requests per second, the 50th and 99th percentile of the time from
// request to whole reply, and the loop thread's CPU time per request.
//
// The ceiling of a kind is the same statements run in a loop in this process on one open
// connection with prepared statements, without network or access wrapper, measured for 1 s
// right before the kind's runs; printed with the share of it each loop reaches, and its CPU
// time per request. The machine may be shared, so every figure is the median of N rounds
// (default 3) of all of this. Last, the loops' CPU time while their connections stay silent
// for 2 s.
//
// Beside them, the same traffic against MinimalServer, which answers every request with a reply
// of the same length without a database (the machine's limit for it): kinds 1 to 4 with 32
// terminals asking, and the boot storm (boot_storm.h), 1000 terminals from 1000 addresses
// connecting at once to a fresh terminal loop (without and with a fresh cache), each asking
// kinds 1 to 4; all the median of N rounds. B replaces the terminal loop's listen backlog in the
// storm (to see what a small one costs). Then kind 2 with 32 asking the cached loop while an
// editor changes a period once a second, then every 200 ms, through a connection of its own
// (runs of 3 s or S, whichever is longer), beside the same without edits. Last, what one answer
// costs in this process without network, from the store and from a cache.
#include <pthread.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <thread>
#include <tuple>

#include "answer_cost.h"
#include "boot_storm.h"
#include "data/schema.h"
#include "data/store.h"
#include "minimal_server.h"
#include "net/connection_limits.h"
#include "net/ports.h"
#include "net/select_loop.h"
#include "steady_edits.h"
#include "store_ceiling.h"
#include "terminal_load.h"
#include "terminals/client_records.h"
#include "terminals/client_service.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"
#include "terminals/terminal_service.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;

constexpr int kClasses = 100;
constexpr int kTeachers = 60;
constexpr int kPeriodsPerClass = 35;
constexpr int kCourseRowsPerClass = 7;
constexpr size_t kActive = 32;
constexpr const char* kWeekdays[] = {"星期一", "星期二", "星期三", "星期四", "星期五"};

std::string Address(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "MAC-%03d", n);
  return text;
}
std::string ClassName(int n) {
  char text[32];
  std::snprintf(text, sizeof text, "初二(%03d)班", n);
  return text;
}

bool Seed(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
    return false;
  std::string sql = "BEGIN;";
  for (int t = 0; t < kTeachers; ++t) {
    std::string numb = "1-2-3-" + std::to_string(t);
    std::string name = "老师" + std::to_string(t);
    sql += "Insert into tblThMes (Numb, Name, NameNumb) Values ('" + numb + "','" + name + "','" +
           name + "(" + numb + ")');";
  }
  for (int c = 0; c < kClasses; ++c) {
    std::string name = ClassName(c);
    sql += "Insert into tblbj (Name, PCMacAddr, Pass) Values ('" + name + "','" + Address(c) +
           "','pass" + std::to_string(c) + "');";
    for (const char* week : kWeekdays) {
      for (int p = 0; p < 7; ++p) {
        std::string hour = std::to_string(8 + p);
        sql +=
            "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, AutoOn, AutoOff, "
            "ThName) Values ('" +
            name + "','" + week + "','" + hour + "','0','" + hour + "','45'," +
            std::to_string(p % 2) + ",0,'老师" + std::to_string(p) + "(1-2-3-" + std::to_string(p) +
            ")');";
      }
    }
    for (int row = 0; row < kCourseRowsPerClass; ++row) {
      sql += "Insert into tblkc (BJName, Monday, Tuesday, Wednesday, Thursday, Friday) Values ('" +
             name + "','语文','数学','英语','物理','体育');";
    }
  }
  sql += "COMMIT;";
  char* message = nullptr;
  bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK;
  if (!ok)
    std::fprintf(stderr, "seeding: %s\n", message ? message : "");
  sqlite3_free(message);
  sqlite3_close_v2(db);
  return ok;
}

// A served port: its loop runs on a thread of its own until the object goes.
struct ServedLoop {
  explicit ServedLoop(ConnectionService service, int backlog = kListenBacklog) {
    std::string error;
    Socket listening = Socket::ListenTcp("127.0.0.1", 0, backlog, &error);
    port = listening.localPort();
    loop = std::make_unique<SelectLoop>(std::move(listening), std::move(service), clock);
    thread = std::jthread([this](std::stop_token stop) { loop->run(stop); });
  }
  double cpuMilliseconds() {
    clockid_t clock;
    timespec time{};
    pthread_getcpuclockid(thread.native_handle(), &clock);
    clock_gettime(clock, &time);
    return time.tv_sec * 1e3 + time.tv_nsec / 1e6;
  }
  uint16_t port = 0;
  SystemClock clock;
  std::unique_ptr<SelectLoop> loop;
  std::jthread thread;
};

struct Kind {
  const char* label;
  bool clientPort;
  int32_t kind;
  size_t replySize;
  std::vector<CeilingStep> ceiling;
};

std::string Request(int32_t kind, int target) {
  TerminalRequest request;
  request.slots = {Address(target), "", ""};
  request.kind = kind;
  return TerminalRequestBytes(request);
}

// One run's figures.
struct Sample {
  LoadFigures figures;
  double serverCpu = 0;  // the loop thread's CPU microseconds per answered request
};

// A ceiling measurement: requests per second and CPU microseconds per request.
struct CeilingSample {
  double perSecond = 0;
  double cpu = 0;
};

double ThreadCpuMicroseconds() {
  timespec time{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
  return time.tv_sec * 1e6 + time.tv_nsec / 1e3;
}

template <typename T, typename Value>
double Median(const std::vector<T>& samples, Value value) {
  std::vector<double> values;
  for (const T& sample : samples)
    values.push_back(value(sample));
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

const char* CacheText(bool cached) {
  return cached ? "on" : "off";
}

// A port served by its own loop, with its terminals connected.
struct Served {
  Served(ConnectionService service) : loop(std::move(service)), load(loop.port) {}
  ServedLoop loop;
  TerminalLoad load;
};

}  // namespace
}  // namespace brenlow

int main(int argc, char** argv) {
  using namespace brenlow;
  std::chrono::milliseconds seconds = 1s;
  int rounds = 3;
  int stormBacklog = kListenBacklog;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::chrono::milliseconds(static_cast<int>(std::atof(argv[++i]) * 1000));
    } else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--backlog") == 0 && i + 1 < argc) {
      stormBacklog = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: terminal_bench [--seconds S] [--rounds N] [--backlog B]\n");
      return 2;
    }
  }
  // 4132 terminals and the server's side of each.
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = std::min<rlim_t>(files.rlim_max, 16384);
  setrlimit(RLIMIT_NOFILE, &files);

  char pattern[] = "/tmp/brenlow-bench-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string path = folder + "/bench.db";
  std::string error;
  if (!CreateDatabase(path, &error) || !Seed(path)) {
    std::fprintf(stderr, "terminal_bench: %s\n", error.c_str());
    return 1;
  }
  const Store store(path);

  const CeilingStep known{"select * from tblbj  where PCMacAddr=?"};
  const CeilingStep name{"select Name from tblbj where PCMacAddr=? Order by ID"};
  const std::vector<Kind> kinds = {
      {"1 class name",
       false,
       kClassNameKind,
       ClassNameReplyBytes(ClassName(0)).size(),
       {known, name}},
      {"2 periods",
       false,
       kPeriodsKind,
       kPeriodsPerClass * kPeriodRecordSize,
       {known, name, {"select * from tblkcTime where BJName=? Order by ID", true, true}}},
      {"3 courses",
       false,
       kCoursesKind,
       kCourseRowsPerClass * kCourseRecordSize,
       {known, name, {"select * from tblkc where BJName=? Order by ID", true, true}}},
      {"4 password",
       false,
       kPasswordKind,
       kPasswordRecordSize,
       {known, {"select Pass from tblbj where PCMacAddr=? Order by ID"}}},
      {"1 teacher list",
       true,
       kTeacherListKind,
       kTeachers * kTeacherNameRecordSize + kEndRecordSize,
       {known, name, {"select * from tblThMes Order by ID", false}}},
  };
  const Kind* periods = &kinds[1];

  std::vector<CeilingClass> classes;
  for (int c = 0; c < kClasses; ++c)
    classes.push_back({Address(c), ClassName(c)});

  auto serviceOf = [&store](bool clientPort, bool cached) -> ConnectionService {
    if (clientPort)
      return cached ? CachingClientService(store) : ClientServiceOn(store);
    return cached ? CachingTerminalService(store) : TerminalServiceOn(store);
  };

  // Each port six times over: without and with its cache, with 1, 32 and 1000 terminals
  // connected, all at once: the runs of one kind follow each other closely and meet the same
  // load of the machine.
  using Loop = std::tuple<bool, bool, size_t>;  // client port, cached, connected
  const size_t kConnected[] = {1, 32, 1000};
  std::map<Loop, std::unique_ptr<Served>> served;
  for (bool clientPort : {false, true}) {
    LoadRequest probe = clientPort ? LoadRequest{Request(kTeacherListKind, 0), kinds[4].replySize}
                                   : LoadRequest{Request(kPasswordKind, 0), kPasswordRecordSize};
    for (bool cached : {false, true}) {
      for (size_t connected : kConnected) {
        auto port = std::make_unique<Served>(serviceOf(clientPort, cached));
        if (!port->load.connectUpTo(connected, probe, &error)) {
          std::fprintf(stderr, "terminal_bench: %s\n", error.c_str());
          return 1;
        }
        served[{clientPort, cached, connected}] = std::move(port);
      }
    }
  }

  auto askKind = [](const Kind& kind) {
    return [&kind](uint64_t sequence) {
      return LoadRequest{Request(kind.kind, static_cast<int>(sequence % kClasses)), kind.replySize};
    };
  };
  using Run = std::tuple<const Kind*, bool, size_t>;  // kind, cached, connected
  std::map<Run, std::vector<Sample>> samples;
  std::map<const Kind*, std::vector<CeilingSample>> ceilings;
  for (int round = 0; round < rounds; ++round) {
    for (const Kind& kind : kinds) {
      double cpuBefore = ThreadCpuMicroseconds();
      auto start = std::chrono::steady_clock::now();
      CeilingSample ceiling;
      ceiling.perSecond = MeasureCeiling(path, kind.ceiling, classes, 1s);
      double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ceiling.cpu = (ThreadCpuMicroseconds() - cpuBefore) / (ceiling.perSecond * wall);
      ceilings[&kind].push_back(ceiling);
      for (bool cached : {false, true}) {
        for (size_t connected : kConnected) {
          Served& port = *served[{kind.clientPort, cached, connected}];
          Sample sample;
          double serverBefore = port.loop.cpuMilliseconds();
          sample.figures =
              port.load.run(std::min(connected, kActive), askKind(kind), 300ms, seconds);
          if (sample.figures.answered > 0) {
            sample.serverCpu =
                (port.loop.cpuMilliseconds() - serverBefore) * 1e3 / sample.figures.answered;
          }
          samples[{&kind, cached, connected}].push_back(sample);
        }
      }
    }
  }

  std::printf(
      "terminal_bench: %d classes (%d periods, %d course rows each), %d teachers; "
      "%.1f s per run, median of %d rounds\n\n",
      kClasses, kPeriodsPerClass, kCourseRowsPerClass, kTeachers, seconds.count() / 1000.0, rounds);
  std::printf("%-6s %-15s %5s %9s %6s %10s %8s %8s | %10s %6s | %11s %11s\n", "port", "kind",
              "cache", "connected", "asking", "requests/s", "p50 us", "p99 us", "ceiling/s",
              "share", "CPU us/req", "ceiling CPU");
  std::map<Run, double> rate;
  for (const Kind& kind : kinds) {
    double ceiling = Median(ceilings[&kind], [](const CeilingSample& s) { return s.perSecond; });
    double ceilingCpu = Median(ceilings[&kind], [](const CeilingSample& s) { return s.cpu; });
    for (bool cached : {false, true}) {
      for (size_t connected : kConnected) {
        const std::vector<Sample>& runs = samples[{&kind, cached, connected}];
        double perSecond = Median(runs, [](const Sample& s) { return s.figures.perSecond; });
        rate[{&kind, cached, connected}] = perSecond;
        bool complete = std::all_of(runs.begin(), runs.end(),
                                    [](const Sample& s) { return s.figures.complete; });
        std::printf(
            "%-6u %-15s %5s %9zu %6zu %10.0f %8.0f %8.0f | %10.0f %5.0f%% | %11.1f %11.1f%s\n",
            kind.clientPort ? kClientPort : kTerminalPort, kind.label, CacheText(cached), connected,
            std::min(connected, kActive), perSecond,
            Median(runs, [](const Sample& s) { return s.figures.p50Microseconds; }),
            Median(runs, [](const Sample& s) { return s.figures.p99Microseconds; }), ceiling,
            100.0 * perSecond / ceiling, Median(runs, [](const Sample& s) { return s.serverCpu; }),
            ceilingCpu, complete ? "" : "  (a reply went missing)");
      }
    }
  }
  std::printf(
      "\nkind 2, 32 asking, without the cache: %.0f%% of the ceiling (target: at least 60%%)\n",
      100.0 * rate[{periods, false, 32}] /
          Median(ceilings[periods], [](const CeilingSample& s) { return s.perSecond; }));
  for (const Kind& kind : kinds) {
    std::printf(
        "%-15s 1000 connected vs 32 connected, 32 asking: %.0f%% without the cache, %.0f%% "
        "with it (target: at least 80%%)\n",
        kind.label, 100.0 * rate[{&kind, false, 1000}] / rate[{&kind, false, 32}],
        100.0 * rate[{&kind, true, 1000}] / rate[{&kind, true, 32}]);
  }

  // The minimal server beside the real loops: kinds 1 to 4 with 32 asking, and the boot storm.
  auto replySizeOf = [&kinds](int32_t kind) -> size_t {
    return kind >= 1 && kind <= 4 ? kinds[static_cast<size_t>(kind - 1)].replySize : 0;
  };
  MinimalServer minimal(replySizeOf);
  TerminalLoad minimalLoad(minimal.port());
  if (!minimalLoad.connectUpTo(kActive, {Request(kPasswordKind, 0), kPasswordRecordSize}, &error)) {
    std::fprintf(stderr, "terminal_bench: minimal server: %s\n", error.c_str());
    return 1;
  }
  constexpr size_t kStormTerminals = 1000;
  auto stormSteps = [&replySizeOf](size_t terminal) {
    std::vector<StormStep> steps;
    for (int32_t kind = 1; kind <= 4; ++kind)
      steps.push_back({Request(kind, static_cast<int>(terminal % kClasses)), replySizeOf(kind)});
    return steps;
  };
  std::map<const Kind*, std::vector<double>> minimalRates;
  std::map<bool, std::vector<double>> stormReal;
  std::vector<double> stormMinimal;
  size_t stormFailed = 0;
  for (int round = 0; round < rounds; ++round) {
    for (size_t k = 0; k < 4; ++k) {
      minimalRates[&kinds[k]].push_back(
          minimalLoad.run(kActive, askKind(kinds[k]), 300ms, seconds).perSecond);
    }
    for (bool cached : {false, true}) {
      ServedLoop fresh(serviceOf(false, cached), stormBacklog);
      StormFigures storm = RunBootStorm(fresh.port, kStormTerminals, stormSteps, 300s);
      stormReal[cached].push_back(storm.seconds);
      stormFailed += storm.failed;
    }
    StormFigures storm = RunBootStorm(minimal.port(), kStormTerminals, stormSteps, 300s);
    stormMinimal.push_back(storm.seconds);
    stormFailed += storm.failed;
  }
  auto plain = [](const double& value) { return value; };
  std::printf("\n32 asking, beside the minimal server (same replies, no database):\n");
  for (size_t k = 0; k < 4; ++k) {
    const Kind* kind = &kinds[k];
    const double least = Median(minimalRates[kind], plain);
    std::printf(
        "%-15s without the cache %7.0f/s (%3.0f%%), with it %7.0f/s (%3.0f%%); minimal server "
        "%7.0f/s%s\n",
        kind->label, rate[{kind, false, 32}], 100.0 * rate[{kind, false, 32}] / least,
        rate[{kind, true, 32}], 100.0 * rate[{kind, true, 32}] / least, least,
        kind == periods ? " (target with the cache: at least 50%)" : "");
  }
  const double least = Median(stormMinimal, plain);
  std::printf(
      "boot storm, %zu terminals from %zu addresses, kinds 1-4 each, listen backlog %d: to the "
      "last reply without the cache %.3f s (%.1fx), with a fresh cache %.3f s (%.1fx); minimal "
      "server %.3f s (target: within 1.5x)%s\n",
      kStormTerminals, kStormTerminals, stormBacklog, Median(stormReal[false], plain),
      Median(stormReal[false], plain) / least, Median(stormReal[true], plain),
      Median(stormReal[true], plain) / least, least,
      stormFailed > 0 ? "  (some terminals were not answered)" : "");

  // The cache while the data changes: an editor on a connection of its own commits once a
  // second, or every 200 ms (as often as the event writer commits, whose events and last
  // reports change the store too), each commit emptying the cache, so that the first request
  // per class after it reads the store again.
  {
    Served& port = *served[{false, true, 32}];
    const auto editedRun = std::max<std::chrono::milliseconds>(seconds, 3s);
    const std::chrono::milliseconds kEditIntervals[] = {0ms, 1000ms, 200ms};  // 0: no edits
    std::map<int64_t, std::vector<LoadFigures>> runs;
    std::map<int64_t, uint64_t> edits;
    for (int round = 0; round < rounds; ++round) {
      for (std::chrono::milliseconds interval : kEditIntervals) {
        std::optional<SteadyEdits> editor;
        if (interval.count() > 0)
          editor.emplace(path, ClassName(0), interval);
        runs[interval.count()].push_back(
            port.load.run(kActive, askKind(*periods), 300ms, editedRun));
        if (editor)
          edits[interval.count()] += editor->edits();
      }
    }
    std::printf("\nkind 2, 32 asking, with the cache, %.1f s runs (without the cache: %.0f/s):\n",
                editedRun.count() / 1000.0, rate[{periods, false, 32}]);
    const double unchanged = Median(runs[0], [](const LoadFigures& f) { return f.perSecond; });
    for (std::chrono::milliseconds interval : kEditIntervals) {
      const std::vector<LoadFigures>& figures = runs[interval.count()];
      const double perSecond = Median(figures, [](const LoadFigures& f) { return f.perSecond; });
      const std::string label = interval.count() == 0
                                    ? std::string("unchanged data")
                                    : "an edit every " + std::to_string(interval.count()) + " ms";
      std::printf("  %-24s %7.0f/s (%3.0f%%), p50 %5.0f us, p99 %6.0f us; %llu edits\n",
                  label.c_str(), perSecond, 100.0 * perSecond / unchanged,
                  Median(figures, [](const LoadFigures& f) { return f.p50Microseconds; }),
                  Median(figures, [](const LoadFigures& f) { return f.p99Microseconds; }),
                  static_cast<unsigned long long>(edits[interval.count()]));
    }
  }

  std::printf("\nin-process, one class, no network (median of %d rounds):\n", rounds);
  for (size_t k = 0; k < 4; ++k) {
    std::vector<AnswerCost> costs;
    for (int round = 0; round < rounds; ++round)
      costs.push_back(MeasureAnswerCost(store, Request(kinds[k].kind, 0), 20000));
    std::printf(
        "%-15s from the store %6.2f us; from the cache %5.2f us (reading the store's version "
        "alone: %4.2f us)\n",
        kinds[k].label, Median(costs, [](const AnswerCost& c) { return c.fromStoreMicroseconds; }),
        Median(costs, [](const AnswerCost& c) { return c.fromCacheMicroseconds; }),
        Median(costs, [](const AnswerCost& c) { return c.versionMicroseconds; }));
  }

  std::map<Loop, double> cpuBefore;
  for (auto& [key, port] : served)
    cpuBefore[key] = port->loop.cpuMilliseconds();
  std::this_thread::sleep_for(2s);
  std::printf("\nidle for 2 s, 4132 connections open: CPU of the twelve loops");
  for (auto& [key, port] : served) {
    std::printf(" %.3f", port->loop.cpuMilliseconds() - cpuBefore[key]);
  }
  std::printf(" ms\n");
  served.clear();

  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
