// The real brenlow, headless with its reply cache, answering both terminal ports with the same
// bytes as the store gives without a cache, also right after an edit through port 62124, by
// brenlow-admin (another process), by a restore and by a file put in the database's place.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/schema.h"
#include "net/ports.h"
#include "support/headless_server.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "terminals/client_records.h"
#include "terminals/client_service.h"
#include "terminals/terminal_request.h"
#include "terminals/terminal_service.h"
#include "tools/admin_run.h"
#include "tools/terminal/terminal_client.h"

namespace brenlow {
namespace {

using namespace std::chrono_literals;
using testing::RunAdmin;
using testing::TempDatabase;

struct Asked {
  bool clientPort;
  std::string bytes;
};

Asked Request(bool clientPort, int32_t kind, std::array<std::string, 3> slots) {
  TerminalRequest request;
  request.slots = std::move(slots);
  request.kind = kind;
  return {clientPort, TerminalRequestBytes(request)};
}

void SeedSchool(const TempDatabase& store) {
  store.addClass("一班", "10.0.0.1", "AA-01", "pw-1");
  store.addClass("二班", "10.0.0.2", "AA-02", "pw-2");
  store.addTeacher("1", "张");
  store.exec("Update tblkcTime set StartH='8', EndH='9', ThName='张(1)' where Week='星期一'");
  store.exec("Insert into tblkc (BJName, Monday, Friday) Values ('一班', '语文', '体育')");
}

class ServedTerminals {
 public:
  // Expects the replies that store gives.
  explicit ServedTerminals(Store store) : store_(std::move(store)) {
    std::string error;
    EXPECT_TRUE(terminal_.connect("127.0.0.1", kTerminalPort, &error)) << error;
    EXPECT_TRUE(client_.connect("127.0.0.1", kClientPort, &error)) << error;
  }

  // Asks every request of both ports and expects the bytes that the store gives now without a
  // cache (read by this process); returns those replies.
  std::vector<std::string> askAll(const std::string& when) {
    std::vector<std::string> replies;
    for (const Asked& asked : requests_) {
      std::string expected;
      if (asked.clientPort)
        ServeClientRequest(store_, asked.bytes, "test", expected, nullptr);
      else
        AnswerTerminalRequest(store_, asked.bytes, expected);
      TerminalConnection& connection = asked.clientPort ? client_ : terminal_;
      EXPECT_TRUE(connection.send(asked.bytes));
      EXPECT_EQ(connection.receive(expected.size(), 10s), expected)
          << when << ", request " << replies.size() + 1;
      replies.push_back(expected);
    }
    EXPECT_EQ(terminal_.receiveUntilQuiet(100ms, 1s), "") << when;
    return replies;
  }

  // Sends an edit to port 62124 and waits until it is carried out: the teacher list asked
  // after it on the same connection is answered after it.
  void edit(const std::string& bytes) {
    EXPECT_TRUE(client_.send(bytes + requests_.back().bytes));
    EXPECT_TRUE(EndsTeacherList(client_.receiveTeacherList(2s)));
  }

 private:
  const Store store_;
  TerminalConnection terminal_;
  TerminalConnection client_;
  const std::vector<Asked> requests_ = {
      Request(false, kClassNameKind, {"AA-01", "", ""}),
      Request(false, kPeriodsKind, {"AA-01", "", ""}),
      Request(false, kCoursesKind, {"AA-01", "AA-02", ""}),
      Request(false, kPasswordKind, {"AA-02", "AA-01", ""}),
      Request(true, kTeacherListKind, {"AA-01", "", ""}),
  };
};

TEST(ReplyCacheProgram, RepliesStayTheSameBytesAfterEveryWayOfEditing) {
  TempDatabase store;
  SeedSchool(store);
  const std::string copy = store.folder() + "/copy.db";
  ASSERT_EQ(RunAdmin(store.path(), {"backup", copy}).code, 0);
  testing::HeadlessServer server(store.path());
  ASSERT_TRUE(server.ready());
  testing::RecordingMessages messages;  // this process's reads show nothing
  ServedTerminals terminals(store.store());

  std::vector<std::string> before = terminals.askAll("first asked");
  ASSERT_EQ(terminals.askAll("asked again"), before);

  struct Edit {
    const char* path;
    std::function<void()> apply;
  };
  const Edit edits[] = {
      {"a period edit on port 62124",
       [&terminals] {
         PeriodEditRequest edit;
         edit.bjName = "一班";
         edit.week = "星期一";
         edit.startH = "7", edit.startM = "50", edit.endH = "8", edit.endM = "35";
         edit.thName = "李(2)";
         terminals.edit(PeriodEditRequestBytes(edit));
       }},
      {"brenlow-admin",
       [&store] {
         testing::AdminRun password =
             RunAdmin(store.path(), {"class", "set", "一班", "--password", "new"});
         EXPECT_EQ(password.code, 0) << password.errors;
         testing::AdminRun teacher = RunAdmin(store.path(), {"teacher", "add", "2", "李"});
         EXPECT_EQ(teacher.code, 0) << teacher.errors;
       }},
      {"brenlow-admin restore",
       [&store, &copy] {
         testing::AdminRun restored = RunAdmin(store.path(), {"restore", copy});
         EXPECT_EQ(restored.code, 0) << restored.errors;
       }},
      {"another file put in the database's place",
       [&store] {
         const std::string other = store.folder() + "/other.db";
         std::string error;
         ASSERT_TRUE(CreateDatabase(other, &error)) << error;
         TempDatabase::ExecAt(other,
                              "Insert into tblbj (Name, PCMacAddr, Pass) Values ('三班', 'AA-01', "
                              "'pw-3')");
         std::filesystem::rename(other, store.path());
       }},
  };
  for (const Edit& edit : edits) {
    edit.apply();
    std::vector<std::string> after = terminals.askAll(edit.path);
    EXPECT_NE(after, before) << edit.path << " changed no reply: the test shows nothing";
    before = after;
  }
  EXPECT_EQ(server.stop(), 0) << server.errors();
}

}  // namespace
}  // namespace brenlow
