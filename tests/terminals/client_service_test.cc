#include "terminals/client_service.h"

#include <gtest/gtest.h>

#include "support/kernel_sockets.h"
#include "support/loopback_port.h"
#include "support/recording_lines.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "support/wait_for.h"
#include "terminals/client_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using testing::Le;
using testing::Quote;

std::string TeacherListRequest(std::array<std::string, 3> slots) {
  TerminalRequest request;
  request.slots = std::move(slots);
  request.kind = kTeacherListKind;
  return TerminalRequestBytes(request);
}

PeriodEditRequest Edit(const std::string& bjName, const std::string& week, int32_t row) {
  PeriodEditRequest edit;
  edit.bjName = bjName;
  edit.week = week;
  edit.row = row;
  edit.startH = "10";
  edit.startM = "05";
  edit.endH = "10";
  edit.endM = "50";
  edit.thName = "O'Neil(7)";
  edit.autoOn = 1;
  edit.autoOff = 0;
  return edit;
}

CourseEditRequest CourseEdit(const std::string& bjName, int32_t row) {
  CourseEditRequest edit;
  edit.bjName = bjName;
  edit.row = row;
  edit.days[0] = "语文";
  edit.days[1] = "It's art";
  edit.days[2] = "数学";
  edit.days[3] = "";
  edit.days[4] = "体育";
  return edit;
}

// Requests on one connection are carried out in order, so the answer to a teacher list
// request sent last (from the probe class) marks the end of everything before it.
class ClientServiceTest : public ::testing::Test {
 protected:
  ClientServiceTest() {
    store_.addClass("probe", "", "PROBE", "");
    store_.addClass("初二年级甲", "", "AA-01", "");
    store_.addClass("Other", "", "AA-02", "");
    for (int row = 1; row <= 7; ++row) {
      for (const char* name : {"初二年级甲", "Other"}) {
        store_.exec("Insert into tblkc (BJName, Monday) Values (" + Quote(name) + ", 'old" +
                    std::to_string(row) + "')");
      }
    }
  }

  std::string ProbeAnswer() const {
    std::string bytes;
    for (const std::string& nameNumb : store_.column("select NameNumb from tblThMes Order by ID")) {
      bytes += TeacherNameRecordBytes(nameNumb);
    }
    return bytes + EndRecordBytes();
  }

  // Sends bytes and the probe in one piece; returns the reply to bytes, which is expected to
  // be replySize bytes long (the probe's answer must follow it, and nothing after that).
  std::string Send(const std::string& bytes, size_t replySize = 0) {
    std::string probe = ProbeAnswer();
    EXPECT_TRUE(connection_.send(bytes + TeacherListRequest({"PROBE", "", ""})));
    std::string all = connection_.receive(replySize + probe.size(), std::chrono::seconds(10));
    EXPECT_EQ(all.substr(std::min(replySize, all.size())), probe) << "not the probe's answer";
    EXPECT_EQ(connection_.receiveUntilQuiet(std::chrono::milliseconds(50), std::chrono::seconds(1)),
              "");
    return all.substr(0, replySize);
  }

  // Every period of the store as "class/weekday/times/flags/teacher", in ID order.
  std::vector<std::string> Periods() const {
    return store_.column(
        "select BJName || '/' || Week || '/' || StartH || ':' || StartM || '-' || EndH || ':' || "
        "EndM || '/' || AutoOn || AutoOff || '/' || ThName from tblkcTime Order by ID");
  }
  std::vector<std::string> Courses() const {
    return store_.column(
        "select BJName || '/' || Monday || '/' || Tuesday || '/' || Wednesday "
        "|| '/' || Thursday || '/' || Friday from tblkc Order by ID");
  }

  testing::TempDatabase store_;
  testing::RecordingMessages messages_;
  testing::LoopbackPort port_{ClientServiceOn(store_.store())};
  TerminalConnection connection_ = port_.connect();
};

TEST_F(ClientServiceTest, KindOneSendsEveryTeacherThenTheEndRecord) {
  EXPECT_EQ(Send(TeacherListRequest({"AA-01", "", ""}), 40), EndRecordBytes());  // no teachers
  store_.addTeacher("12", "张老师");
  store_.addTeacher("7", "O'Neil");
  store_.addTeacher("3", std::string(45, 'n'));
  std::string expected = Le(u"张老师(12)") + std::string(66, '\0') + Le(u"O'Neil(7)") +
                         std::string(62, '\0') + Le(std::u16string(39, u'n')) +
                         std::string(2, '\0') + Le(u"close") + std::string(30, '\0');
  ASSERT_EQ(expected.size(), 280u);
  // The first known slot decides; slot 1 names no class and slot 3 is not looked at.
  EXPECT_EQ(Send(TeacherListRequest({"nobody", "AA-01", "AA-02"}), 280), expected);
  EXPECT_EQ(Send(TeacherListRequest({"nobody", "", "aa-01"})), "");
}

TEST_F(ClientServiceTest, PeriodEditRewritesExactlyTheAddressedRow) {
  std::vector<std::string> expected = Periods();
  // Other's Wednesday periods are rows 14 to 20 of its 35; row index 1 is the second of them.
  size_t target = 2 * 35 + 14 + 1;
  ASSERT_EQ(expected.size(), 3u * 35);
  ASSERT_EQ(expected[target].substr(0, 15), "Other/星期三");
  expected[target] = "Other/星期三/10:05-10:50/10/O'Neil(7)";

  // From an address that no class has: edits do not look at the slots.
  EXPECT_EQ(Send(PeriodEditRequestBytes(Edit("Other", "星期三", 1))), "");
  EXPECT_EQ(Periods(), expected);

  for (int32_t row : {7, -1, 100}) {
    EXPECT_EQ(Send(PeriodEditRequestBytes(Edit("Other", "星期三", row))), "");
  }
  EXPECT_EQ(Send(PeriodEditRequestBytes(Edit("Other", "星期六", 0))), "");
  EXPECT_EQ(Periods(), expected);
  EXPECT_TRUE(messages_.texts().empty());
}

// A teacher field with terminal escape sequences is stored as received; the log escapes it.
TEST_F(ClientServiceTest, EscapeSequencesAreStoredRawAndLoggedEscaped) {
  testing::RecordingLines log;
  PeriodEditRequest edit = Edit("Other", "星期三", 1);
  edit.thName = "\x1b[2J\x1b]0;x\x07";
  EXPECT_EQ(Send(PeriodEditRequestBytes(edit)), "");
  EXPECT_NE(Periods()[2 * 35 + 15].find("\x1b[2J\x1b]0;x\x07"), std::string::npos);
  std::vector<std::string> lines = log.take();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("ThName \" \" -> \"\\x1b[2J\\x1b]0;x\\x07\""), std::string::npos)
      << lines[0];
}

TEST_F(ClientServiceTest, EveryEditWritesOneAuditLineWithWhatItChanged) {
  testing::RecordingLines log;
  PeriodEditRequest edit = Edit("Other", "星期三", 1);
  EXPECT_EQ(Send(PeriodEditRequestBytes(edit)), "");
  edit.thName = "张老师(1)";
  EXPECT_EQ(Send(PeriodEditRequestBytes(edit)), "");
  EXPECT_EQ(Send(PeriodEditRequestBytes(edit)), "");
  EXPECT_EQ(Send(PeriodEditRequestBytes(Edit("Other", "星期三", 7))), "");
  EXPECT_EQ(Send(CourseEditRequestBytes(CourseEdit("初二年级甲", 2))), "");
  const std::string from = "edit period from=127.0.0.1 class=Other week=星期三 row=";
  EXPECT_EQ(log.take(),
            (std::vector<std::string>{
                from + "1: StartH \" \" -> \"10\", StartM \" \" -> \"05\", EndH \" \" -> "
                       "\"10\", EndM \" \" -> \"50\", AutoOn \"0\" -> \"1\", ThName \" \" -> "
                       "\"O'Neil(7)\"",
                from + "1: ThName \"O'Neil(7)\" -> \"张老师(1)\"",
                from + "1: no change",
                from + "7: no such row",
                "edit courses from=127.0.0.1 class=初二年级甲 row=2: Monday \"old3\" -> \"语文\", "
                "Tuesday \"\" -> \"It's art\", Wednesday \"\" -> \"数学\", Friday \"\" -> "
                "\"体育\"",
            }));
}

TEST_F(ClientServiceTest, CourseEditRewritesExactlyTheAddressedRow) {
  std::vector<std::string> expected = Courses();
  ASSERT_EQ(expected[2 * 6 + 1], "Other/old7////");
  expected[2 * 6 + 1] = "Other/语文/It's art/数学//体育";
  EXPECT_EQ(Send(CourseEditRequestBytes(CourseEdit("Other", 6))), "");
  EXPECT_EQ(Send(CourseEditRequestBytes(CourseEdit("Other", 7))), "");
  EXPECT_EQ(Send(CourseEditRequestBytes(CourseEdit("nobody", 0))), "");
  EXPECT_EQ(Courses(), expected);
}

TEST_F(ClientServiceTest, EveryCompleteRequestOfOneReceiveIsCarriedOut) {
  store_.addTeacher("12", "张老师");
  std::string list = TeacherNameRecordBytes("张老师(12)") + EndRecordBytes();
  EXPECT_EQ(Send(PeriodEditRequestBytes(Edit("初二年级甲", "星期一", 0)) +
                     CourseEditRequestBytes(CourseEdit("初二年级甲", 0)) +
                     TeacherListRequest({"AA-02", "", ""}),
                 list.size()),
            list);
  EXPECT_EQ(Periods()[35], "初二年级甲/星期一/10:05-10:50/10/O'Neil(7)");
  EXPECT_EQ(Courses()[0], "初二年级甲/语文/It's art/数学//体育");
}

TEST_F(ClientServiceTest, AnUnknownKindDropsWhatIsBufferedAndACutRequestWaitsForItsRest) {
  TerminalRequest unknown;
  unknown.kind = 4;
  std::string edit = PeriodEditRequestBytes(Edit("初二年级甲", "星期一", 0));
  std::string dropped = PeriodEditRequestBytes(Edit("初二年级甲", "星期一", 2));
  std::string later = PeriodEditRequestBytes(Edit("初二年级甲", "星期一", 1));
  std::vector<std::string> before = Periods();

  // The length of an unknown kind is unknown too: the edit behind it is dropped with it. Each
  // send is read by the service before the next goes, so the three are three receives (sent
  // at once, they may merge, and the unknown kind would drop the edits after it too).
  const int fd = connection_.socket().fd();
  ASSERT_TRUE(connection_.send(TerminalRequestBytes(unknown) + dropped));
  ASSERT_TRUE(testing::WaitFor([&] { return testing::PeerReadEverything(fd); }));
  // The cut edit at the end is carried out when its rest arrives.
  ASSERT_TRUE(connection_.send(edit + later.substr(0, 200)));
  ASSERT_TRUE(testing::WaitFor([&] { return testing::PeerReadEverything(fd); }));
  EXPECT_EQ(Send(later.substr(200)), "");
  std::vector<std::string> after = Periods();
  before[35] = before[36] = "初二年级甲/星期一/10:05-10:50/10/O'Neil(7)";
  EXPECT_EQ(after, before);
}

TEST_F(ClientServiceTest, AFailedUpdateShowsTheStoresMessageAndChangesNothing) {
  store_.exec(
      "Create Trigger refuse Before Update On tblkc Begin "
      "Select Raise(Abort, 'course rows are locked'); End");
  std::vector<std::string> before = Courses();
  testing::RecordingLines log;
  EXPECT_EQ(Send(CourseEditRequestBytes(CourseEdit("Other", 0))), "");
  EXPECT_EQ(Courses(), before);
  EXPECT_EQ(log.take(), std::vector<std::string>{"edit courses from=127.0.0.1 class=Other row=0: "
                                                 "not written: the store refused the update"});
  EXPECT_EQ(messages_.texts(), std::vector<std::string>{"course rows are locked"});
}

}  // namespace
}  // namespace brenlow
