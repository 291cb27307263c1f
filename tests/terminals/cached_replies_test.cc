// The replies of both terminal ports through a reply cache and without one, byte for byte, on
// one thread: the thread whose connection also writes the edits of port 62124, as the program's
// loops do.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "data/connection.h"
#include "data/database.h"
#include "data/schema.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "terminals/client_records.h"
#include "terminals/client_service.h"
#include "terminals/reply_cache.h"
#include "terminals/terminal_request.h"
#include "terminals/terminal_service.h"

namespace brenlow {
namespace {

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

void SeedSchool(const std::string& path, const std::string& firstClass) {
  TempDatabase::ExecAt(path, "Insert into tblbj (Name, PCMacAddr, Pass) Values ('" + firstClass +
                                 "', 'AA-01', 'pw-1'), ('二班', 'AA-02', 'pw-2')");
  TempDatabase::ExecAt(path,
                       "Insert into tblkcTime (BJName, Week, StartH, StartM, EndH, EndM, ThName) "
                       "Values ('" +
                           firstClass + "', '星期一', '8', '0', '8', '45', '张(1)'), ('" +
                           firstClass +
                           "', '星期二', '9', '0', '9', '45', '李(2)'), ('二班', '星期一', '10', "
                           "'0', '10', '45', '王(3)')");
  TempDatabase::ExecAt(path, "Insert into tblkc (BJName, Monday, Friday) Values ('" + firstClass +
                                 "', '语文', '体育'), ('二班', '数学', '')");
  TempDatabase::ExecAt(path,
                       "Insert into tblThMes (Numb, Name, NameNumb) Values ('1', '张', '张(1)'), "
                       "('2', '李', '李(2)')");
}

class CachedRepliesTest : public ::testing::Test {
 protected:
  CachedRepliesTest() { SeedSchool(store_.path(), "一班"); }

  std::string Answer(const Asked& asked, ReplyCache* cache) {
    std::string reply;
    if (asked.clientPort)
      ServeClientRequest(store_.store(), asked.bytes, "10.0.0.9", reply, cache);
    else
      AnswerTerminalRequest(store_.store(), asked.bytes, reply, cache);
    return reply;
  }

  // Every request's reply without the cache, after expecting the cache's to be the same.
  std::vector<std::string> AskAll(const std::string& when) {
    std::vector<std::string> replies;
    for (const Asked& asked : requests_) {
      std::string cached = Answer(asked, asked.clientPort ? &clientCache_ : &terminalCache_);
      replies.push_back(Answer(asked, nullptr));
      EXPECT_EQ(cached, replies.back()) << when << ", request " << replies.size();
    }
    return replies;
  }

  uint64_t hits() const { return terminalCache_.hits() + clientCache_.hits(); }

  TempDatabase store_;
  testing::RecordingMessages messages_;
  ReplyCache terminalCache_;
  ReplyCache clientCache_;
  const std::vector<Asked> requests_ = {
      Request(false, kClassNameKind, {"nobody", "AA-01", "AA-02"}),
      Request(false, kPeriodsKind, {"AA-01", "", ""}),
      Request(false, kPeriodsKind, {"AA-02", "AA-01", ""}),
      Request(false, kCoursesKind, {"AA-01", "nobody", "AA-02"}),
      Request(false, kPasswordKind, {"AA-02", "AA-01", ""}),
      Request(false, kPasswordKind, {"nobody", "", ""}),  // answered with nothing
      Request(true, kTeacherListKind, {"AA-01", "", ""}),
  };
};

TEST_F(CachedRepliesTest, RepliesStayTheSameBytesAcrossEveryWayOfEditing) {
  std::vector<std::string> before = AskAll("first asked");
  ASSERT_FALSE(before[1].empty());
  const uint64_t hitsBefore = hits();
  EXPECT_EQ(AskAll("asked again"), before);
  EXPECT_EQ(hits(), hitsBefore + requests_.size()) << "an unchanged store answers from memory";

  const std::string spare = store_.folder() + "/spare.db";
  struct Edit {
    const char* path;
    std::function<void()> apply;
  };
  const Edit edits[] = {
      {"a period edit on port 62124, through the serving thread's own connection",
       [this] {
         PeriodEditRequest edit;
         edit.bjName = "一班";
         edit.week = "星期一";
         edit.startH = "7", edit.startM = "50", edit.endH = "8", edit.endM = "35";
         edit.thName = "李(2)";
         Answer({true, PeriodEditRequestBytes(edit)}, &clientCache_);
       }},
      {"the editor: a commit by another thread's connection",
       [this] {
         std::thread([this] {
           Database db = store_.store().database();
           db.open();
           EXPECT_TRUE(db.execute("Update tblbj set Pass='new' where Name='一班'"));
           ReleaseThreadConnections();
         }).join();
       }},
      {"another process: brenlow-admin's own connection",
       [this] {
         store_.exec("Insert into tblThMes (Numb, Name, NameNumb) Values ('3', '王', '王(3)')");
         store_.exec("Update tblkc set Monday='英语' where BJName='二班'");
       }},
      {"the file replaced by another",
       [this, &spare] {
         std::string error;
         ASSERT_TRUE(CreateDatabase(spare, &error)) << error;
         SeedSchool(spare, "三班");
         std::filesystem::rename(spare, store_.path());
       }},
  };
  for (const Edit& edit : edits) {
    edit.apply();
    std::vector<std::string> after = AskAll(edit.path);
    EXPECT_NE(after, before) << edit.path << " changed no reply: the test shows nothing";
    before = after;
  }
}

}  // namespace
}  // namespace brenlow
