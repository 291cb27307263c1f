// The real program, started headless on a temporary database.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <thread>

#include "support/headless_server.h"
#include "support/program.h"
#include "support/temp_database.h"
#include "support/wait_for.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::HeadlessArguments;
using testing::Program;
using testing::ProgramPath;
using testing::TempDatabase;

TEST(HeadlessProgram, PreparesTheStoreServesAndStopsOnSigterm) {
  TempDatabase store;
  store.exec(
      "Insert into tblbj (Name, Status) Values ('一班', 1); Insert into tblbj (Name, Status) "
      "Values ('二班', 1)");
  Program server(ProgramPath(), HeadlessArguments(store.path()));
  ASSERT_TRUE(server.waitForError("headless server starting", 10s)) << server.errors();
  // Start-up reset every status and gave each class its blank periods, class by class.
  ASSERT_TRUE(testing::WaitFor([&] { return testing::ProgramPortsServed(); }));
  EXPECT_EQ(store.value("select sum(Status) from tblbj"), "0");
  std::vector<std::string> order =
      store.column("select BJName || '/' || Week from tblkcTime Order by ID");
  ASSERT_EQ(order.size(), 70u);
  EXPECT_EQ(order[0], "一班/星期一");
  EXPECT_EQ(order[6], "一班/星期一");
  EXPECT_EQ(order[7], "一班/星期二");
  EXPECT_EQ(order[34], "一班/星期五");
  EXPECT_EQ(order[35], "二班/星期一");
  EXPECT_EQ(
      store.value("select count(*) from tblkcTime where StartH=' ' and StartM=' ' and EndH=' ' "
                  "and EndM=' ' and ThName=' ' and AutoOn=0 and AutoOff=0"),
      "70");

  auto stopAsked = std::chrono::steady_clock::now();
  server.signal(SIGTERM);
  EXPECT_EQ(server.wait(5s), 0) << server.errors();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, 2s);
}

// Any local account can take an abstract socket name first; a server's start never depends on
// one (it locks a file beside the database instead).
int HoldEarlierLockName() {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const char name[] = "OstraTavoServer";
  std::memcpy(address.sun_path + 1, name, sizeof name - 1);
  socklen_t size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + sizeof name);
  EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
  return fd;
}

TEST(HeadlessProgram, ASecondHeadlessCopySaysWhyAndExitsWithOne) {
  TempDatabase store;
  int earlierLock = HoldEarlierLockName();
  testing::HeadlessServer first(store.path());
  ASSERT_TRUE(first.ready());
  ::close(earlierLock);

  Program second(ProgramPath(), HeadlessArguments(store.path()));
  EXPECT_EQ(second.wait(5s), 1);
  EXPECT_EQ(second.output(), "");
  EXPECT_EQ(second.errors(), "brenlow: another copy of brenlow is running\n");
  EXPECT_TRUE(first.running());
  first.program().signal(SIGINT);
  EXPECT_EQ(first.program().wait(3s), 0);
}

TEST(HeadlessProgram, MissingDatabaseIsReportedAndTheServerKeepsRunning) {
  TempDatabase store;
  std::string absent = store.folder() + "/absent.db";
  Program server(ProgramPath(), {"--headless", "--listen", "127.0.0.1", "--database", absent});
  // One line with the path and the hint; no more while it stays missing (for a minute).
  const std::string line = "brenlow: no such database: " + absent +
                           "; create it with brenlow --init-database " + absent + "\n";
  ASSERT_TRUE(server.waitForError(line, 10s)) << server.errors();
  // Nothing marks the end of a silence: a second of it shows a repetition.
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(server.errors().find(line), server.errors().rfind(line)) << server.errors();
  EXPECT_TRUE(server.running());
  server.signal(SIGTERM);
  EXPECT_EQ(server.wait(3s), 0);
}

TEST(InitDatabaseProgram, CreatesOnceAndRefusesAnExistingFile) {
  TempDatabase store;
  std::string path = store.folder() + "/new.db";
  Program create(ProgramPath(), {"--init-database", path});
  EXPECT_EQ(create.wait(10s), 0) << create.errors();
  Program again(ProgramPath(), {"--init-database", path});
  EXPECT_EQ(again.wait(10s), 1);
  EXPECT_NE(again.errors().find("already exists"), std::string::npos) << again.errors();
}

// The file holds class passwords and card numbers: other users may never read it.
TEST(InitDatabaseProgram, CreatesTheFileForOwnerAndGroupOnlyAsTheUmaskAllows) {
  TempDatabase store;
  struct Case {
    mode_t umask, mode;
  };
  for (Case c : {Case{022, 0640}, Case{002, 0660}, Case{0, 0660}, Case{077, 0600}}) {
    std::string path = store.folder() + "/new-" + std::to_string(c.umask) + ".db";
    mode_t saved = ::umask(c.umask);
    Program create(ProgramPath(), {"--init-database", path});
    ::umask(saved);
    ASSERT_EQ(create.wait(10s), 0) << create.errors();
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, c.mode) << "umask " << std::oct << c.umask;
  }
}

TEST(HelpProgram, DescribesEveryOption) {
  Program help(ProgramPath(), {"--help"});
  ASSERT_EQ(help.wait(10s), 0);
  for (const char* option : {"--headless", "--database", "--listen", "--init-database",
                             "--set-credentials", "--credentials", "--max-connections-per-address",
                             "--help", "/var/lib/brenlow/brenlow.db", "8234", "64124", "62124"}) {
    EXPECT_NE(help.output().find(option), std::string::npos) << option;
  }
  Program wrong(ProgramPath(), {"--bogus"});
  EXPECT_EQ(wrong.wait(10s), 2);
  EXPECT_NE(wrong.errors().find("unknown argument: --bogus"), std::string::npos);
  Program zero(ProgramPath(), {"--headless", "--max-connections-per-address", "0"});
  EXPECT_EQ(zero.wait(10s), 2);
}

TEST(HeadlessProgram, AClosedStderrPipeDoesNotEndTheServer) {
  TempDatabase store;
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ::close(pipeEnds[0]);  // nobody reads: every line written is a write to a closed pipe
  std::vector<std::string> arguments = HeadlessArguments(store.path());
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeEnds[1], 2);
    std::vector<char*> argv;
    const std::string path = ProgramPath();
    argv.push_back(const_cast<char*>(path.c_str()));
    for (std::string& argument : arguments)
      argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  ::close(pipeEnds[1]);
  // The start-up lines are written before the workers serve the ports.
  int status = 0;
  bool ended = false;
  EXPECT_TRUE(testing::WaitFor([&] {
    ended = ended || waitpid(pid, &status, WNOHANG) == pid;
    return ended || testing::ProgramPortsServed();
  }));
  EXPECT_FALSE(ended) << "ended with status " << status;
  kill(pid, SIGTERM);
  EXPECT_TRUE(testing::WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
}  // namespace brenlow
