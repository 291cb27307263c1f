// terminal_bench: how fast the terminal ports answer. Prints its figures; not a test.
//
//   build-release/bench/terminal_bench [--seconds S]
//
// A database of 100 classes (35 periods and 7 course rows each) and 60 teachers; the terminal
// loop (port 64124) and the client loop (port 62124) serve it on ephemeral loopback ports in
// this process, exactly as the program runs them. For every request kind that has a reply,
// terminals connected over loopback ask as fast as they are answered, for S seconds (default
// 2) after a warm-up: 1 connected (1 asking), 32 connected (32 asking), 1000 connected (32
// asking, 968 silent). Printed per kind: requests per second and the 50th and 99th
// percentile of the time from request to whole reply.
//
// The ceiling of a kind is the same statements run in a loop in this process on one open
// connection with prepared statements, without network or access wrapper, measured for 1 s
// right before each run (this machine is shared: both then meet the same load); printed with
// the port's share of it, and both CPU times per request (the loop thread's and the
// ceiling's), which a busy machine disturbs less than the rates. Last, the loops' CPU time
// while 1000 connections stay silent for 2 s.
#include <pthread.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <thread>

#include "data/database_path.h"
#include "data/schema.h"
#include "net/client_records.h"
#include "net/client_service.h"
#include "net/ports.h"
#include "net/select_loop.h"
#include "net/terminal_records.h"
#include "net/terminal_request.h"
#include "net/terminal_service.h"
#include "store_ceiling.h"
#include "terminal_load.h"

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
  ServedLoop(ConnectionService service) {
    std::string error;
    Socket listening = Socket::ListenTcp("127.0.0.1", 0, kListenBacklog, &error);
    port = listening.localPort();
    loop = std::make_unique<SelectLoop>(std::move(listening), std::move(service));
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

struct Row {
  const Kind* kind;
  size_t connected;
  size_t active;
  LoadFigures figures;
  double serverCpu;   // the loop thread's CPU microseconds per answered request
  double ceiling;     // requests per second of the ceiling, measured just before the run
  double ceilingCpu;  // its CPU microseconds per request
};

double ThreadCpuMicroseconds() {
  timespec time{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
  return time.tv_sec * 1e6 + time.tv_nsec / 1e3;
}

}  // namespace
}  // namespace brenlow

int main(int argc, char** argv) {
  using namespace brenlow;
  std::chrono::milliseconds seconds = 2s;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
      seconds = std::chrono::milliseconds(static_cast<int>(std::atof(argv[++i]) * 1000));
    } else {
      std::fprintf(stderr, "usage: terminal_bench [--seconds S]\n");
      return 2;
    }
  }
  // 1000 terminals and the server's side of each.
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = std::min<rlim_t>(files.rlim_max, 8192);
  setrlimit(RLIMIT_NOFILE, &files);

  char pattern[] = "/tmp/brenlow-bench-XXXXXX";
  const std::string folder = mkdtemp(pattern);
  const std::string path = folder + "/bench.db";
  std::string error;
  if (!CreateDatabase(path, &error) || !Seed(path)) {
    std::fprintf(stderr, "terminal_bench: %s\n", error.c_str());
    return 1;
  }
  SetDatabasePath(path);

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

  std::vector<CeilingClass> classes;
  for (int c = 0; c < kClasses; ++c)
    classes.push_back({Address(c), ClassName(c)});

  ServedLoop terminalLoop(TerminalService);
  ServedLoop clientLoop(ClientService);
  TerminalLoad terminalLoad(terminalLoop.port);
  TerminalLoad clientLoad(clientLoop.port);
  std::vector<Row> rows;
  for (bool clientPort : {false, true}) {
    TerminalLoad& load = clientPort ? clientLoad : terminalLoad;
    ServedLoop& served = clientPort ? clientLoop : terminalLoop;
    LoadRequest probe = clientPort ? LoadRequest{Request(kTeacherListKind, 0), kinds[4].replySize}
                                   : LoadRequest{Request(kPasswordKind, 0), kPasswordRecordSize};
    for (size_t connected : {size_t{1}, size_t{32}, size_t{1000}}) {
      if (!load.connectUpTo(connected, probe, &error)) {
        std::fprintf(stderr, "terminal_bench: %s\n", error.c_str());
        return 1;
      }
      for (const Kind& kind : kinds) {
        if (kind.clientPort != clientPort)
          continue;
        Row row{&kind, connected, std::min(connected, kActive), {}, 0, 0, 0};
        // The ceiling right before the run, so that both meet the same load of the machine.
        double cpuBefore = ThreadCpuMicroseconds();
        auto start = std::chrono::steady_clock::now();
        row.ceiling = MeasureCeiling(path, kind.ceiling, classes, 1s);
        double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        row.ceilingCpu = (ThreadCpuMicroseconds() - cpuBefore) / (row.ceiling * wall);

        double serverBefore = served.cpuMilliseconds();
        row.figures = load.run(
            row.active,
            [&kind](uint64_t sequence) {
              return LoadRequest{Request(kind.kind, static_cast<int>(sequence % kClasses)),
                                 kind.replySize};
            },
            300ms, seconds);
        if (row.figures.answered > 0) {
          row.serverCpu = (served.cpuMilliseconds() - serverBefore) * 1e3 / row.figures.answered;
        }
        rows.push_back(row);
      }
    }
    if (!clientPort)
      load.closeAll();  // the client port's 1000 stay for the idle figure
  }

  std::printf(
      "terminal_bench: %d classes (%d periods, %d course rows each), %d teachers; "
      "%.1f s per run\n\n",
      kClasses, kPeriodsPerClass, kCourseRowsPerClass, kTeachers, seconds.count() / 1000.0);
  std::printf("%-6s %-15s %9s %6s %10s %8s %8s | %10s %6s | %11s %11s\n", "port", "kind",
              "connected", "asking", "requests/s", "p50 us", "p99 us", "ceiling/s", "share",
              "CPU us/req", "ceiling CPU");
  std::map<std::pair<const Kind*, size_t>, const Row*> byRun;
  for (const Row& row : rows) {
    byRun[{row.kind, row.connected}] = &row;
    std::printf("%-6u %-15s %9zu %6zu %10.0f %8.0f %8.0f | %10.0f %5.0f%% | %11.1f %11.1f%s\n",
                row.kind->clientPort ? kClientPort : kTerminalPort, row.kind->label, row.connected,
                row.active, row.figures.perSecond, row.figures.p50Microseconds,
                row.figures.p99Microseconds, row.ceiling,
                100.0 * row.figures.perSecond / row.ceiling, row.serverCpu, row.ceilingCpu,
                row.figures.complete ? "" : "  (a reply went missing)");
  }
  const Row* periods = byRun[{&kinds[1], 32}];
  std::printf("\nkind 2, 32 asking: %.0f%% of the ceiling (target: at least 60%%)\n",
              100.0 * periods->figures.perSecond / periods->ceiling);
  for (const Kind& kind : kinds) {
    std::printf(
        "%-15s 1000 connected vs 32 connected, 32 asking: %.0f%% (target: at least 80%%)\n",
        kind.label,
        100.0 * byRun[{&kind, 1000}]->figures.perSecond / byRun[{&kind, 32}]->figures.perSecond);
  }

  double terminalBefore = terminalLoop.cpuMilliseconds();
  double clientBefore = clientLoop.cpuMilliseconds();
  std::this_thread::sleep_for(2s);
  std::printf(
      "\nidle for 2 s with %zu connections on port 62124: loop CPU %.3f ms (64124), "
      "%.3f ms (62124)\n",
      clientLoad.connected(), terminalLoop.cpuMilliseconds() - terminalBefore,
      clientLoop.cpuMilliseconds() - clientBefore);

  clientLoad.closeAll();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
