#include "terminals/terminal_service.h"

#include <gtest/gtest.h>

#include "net/wire_text.h"
#include "support/kernel_sockets.h"
#include "support/loopback_port.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"
#include "support/wait_for.h"
#include "terminals/terminal_records.h"
#include "terminals/terminal_request.h"

namespace brenlow {
namespace {

using testing::Le;
using testing::Quote;

std::string Request(int32_t kind, std::array<std::string, 3> slots) {
  TerminalRequest request;
  request.slots = std::move(slots);
  request.kind = kind;
  return TerminalRequestBytes(request);
}

// Every request is followed by a probe (the password of the probe class), whose answer marks
// the end of the reply: requests on one connection are answered in order.
class TerminalServiceTest : public ::testing::Test {
 protected:
  TerminalServiceTest() {
    store_.addClass("probe", "", "PROBE", "probe");
    store_.addClass("初二年级甲", "10.0.0.1", "AA-01", "secret-a");
    store_.addClass("Other", "10.0.0.2", "AA-02", "secret-b");
  }

  std::string Ask(const std::string& request) {
    EXPECT_TRUE(connection_.send(request + Request(kPasswordKind, {"PROBE", "", ""})));
    return testing::ReplyBefore(connection_, PasswordRecordBytes("probe"));
  }

  // The PeriodRecords of a class as the store holds its periods, in ID order.
  std::string PeriodsOf(const std::string& name) const {
    std::string bytes;
    std::string where = " from tblkcTime where BJName=" + Quote(name) + " Order by ID";
    auto column = [&](const char* name) {
      return store_.column(std::string("select ") + name + where);
    };
    auto startH = column("StartH"), startM = column("StartM"), endH = column("EndH"),
         endM = column("EndM"), autoOn = column("AutoOn"), autoOff = column("AutoOff"),
         week = column("Week"), thName = column("ThName");
    for (size_t i = 0; i < week.size(); ++i) {
      bytes += PeriodRecordBytes(
          {startH[i], startM[i], endH[i], endM[i], autoOn[i], autoOff[i], week[i], thName[i]});
    }
    return bytes;
  }

  void AddCourses(const std::string& name, int rows) const {
    for (int row = 1; row <= rows; ++row) {
      std::string r = std::to_string(row);
      store_.exec(
          "Insert into tblkc (BJName, Monday, Tuesday, Wednesday, Thursday, Friday) "
          "Values (" +
          Quote(name) + ", '" + name + " Mo" + r + "', 'Tu" + r + "', 'We" + r + "', 'Th" + r +
          "', 'Fr" + r + "')");
    }
  }

  std::string CoursesOf(const std::string& name) const {
    std::string bytes;
    std::string where = " from tblkc where BJName=" + Quote(name) + " Order by ID";
    auto mo = store_.column("select Monday" + where), tu = store_.column("select Tuesday" + where),
         we = store_.column("select Wednesday" + where),
         th = store_.column("select Thursday" + where), fr = store_.column("select Friday" + where);
    for (size_t i = 0; i < mo.size(); ++i) {
      CourseRecord record;
      record.days[0] = mo[i], record.days[1] = tu[i], record.days[2] = we[i];
      record.days[3] = th[i], record.days[4] = fr[i];
      bytes += CourseRecordBytes(record);
    }
    return bytes;
  }

  testing::TempDatabase store_;
  testing::RecordingMessages messages_;
  testing::LoopbackPort port_{TerminalServiceOn(store_.store())};
  TerminalConnection connection_ = port_.connect();
};

TEST_F(TerminalServiceTest, KindOneSendsTheNameOfTheFirstKnownSlotOnly) {
  // Five characters: ten bytes, no terminator; the known slot 3 is not looked at.
  EXPECT_EQ(Ask(Request(kClassNameKind, {"nobody", "AA-01", "AA-02"})), Le(u"初二年级甲"));
  EXPECT_EQ(Ask(Request(kClassNameKind, {"AA-02", "AA-01", ""})), Le(u"Other"));
}

TEST_F(TerminalServiceTest, KindTwoSendsEveryPeriodInIdOrder) {
  store_.exec(
      "Update tblkcTime set StartH=ID % 24, StartM='5', EndH='9', EndM='45', AutoOn=ID % 2,"
      " ThName='T' || ID || '(' || ID || ')'");
  std::string expected = PeriodsOf("初二年级甲");
  ASSERT_EQ(expected.size(), 35u * kPeriodRecordSize);
  // First known slot only: the class of slot 3 is not answered.
  EXPECT_EQ(Ask(Request(kPeriodsKind, {"nobody", "AA-01", "AA-02"})), expected);

  store_.exec("Delete from tblkcTime where BJName='Other'");
  EXPECT_EQ(Ask(Request(kPeriodsKind, {"AA-02", "AA-01", ""})), "");
}

// A class far beyond any timetable (a restored file) gets the records that fit in one capped
// answer, the first ones in ID order; the connection goes on with the next request.
TEST_F(TerminalServiceTest, AnOversizedClassIsAnsweredWithinTheCap) {
  store_.exec(
      "With recursive n(i) as (select 1 union all select i + 1 from n where i < 3000) "
      "Insert into tblkcTime (BJName, Week, StartH) select '初二年级甲', '星期一', i from n");
  AddCourses("初二年级甲", 300);
  const std::string periods = PeriodsOf("初二年级甲");
  const size_t fittingPeriods = kMaxTerminalReplyBytes / kPeriodRecordSize;
  EXPECT_EQ(Ask(Request(kPeriodsKind, {"AA-01", "", ""})),
            periods.substr(0, fittingPeriods * kPeriodRecordSize));
  // Three slots of the class: the cap holds for the whole answer, not for each slot.
  const size_t fittingRows = kMaxTerminalReplyBytes / kCourseRecordSize;
  EXPECT_EQ(Ask(Request(kCoursesKind, {"AA-01", "AA-01", "AA-01"})),
            CoursesOf("初二年级甲").substr(0, fittingRows * kCourseRecordSize));
}

TEST_F(TerminalServiceTest, KindThreeAnswersEveryKnownSlotInTurn) {
  AddCourses("初二年级甲", 7);
  AddCourses("Other", 2);
  std::string first = CoursesOf("初二年级甲");
  std::string other = CoursesOf("Other");
  ASSERT_EQ(first.size(), 7u * kCourseRecordSize);
  EXPECT_EQ(Ask(Request(kCoursesKind, {"AA-01", "AA-02", "AA-01"})), first + other + first);
  EXPECT_EQ(Ask(Request(kCoursesKind, {"AA-02", "nobody", "PROBE"})), other);  // probe: no rows
}

TEST_F(TerminalServiceTest, KindFourAnswersEveryKnownSlotInTurn) {
  EXPECT_EQ(Ask(Request(kPasswordKind, {"AA-02", "nobody", "AA-01"})),
            PasswordRecordBytes("secret-b") + PasswordRecordBytes("secret-a"));
}

TEST_F(TerminalServiceTest, UnansweredRequestsLeaveTheConnectionUsable) {
  const std::string kUnanswered[] = {
      Request(0, {"AA-01", "", ""}),
      Request(5, {"AA-01", "", ""}),
      Request(-1, {"AA-01", "", ""}),
      Request(kClassNameKind, {"nobody", "", "aa-01"}),  // compared as it is
      Request(kPasswordKind, {"x' or '1'='1", "", ""}),  // a quote is part of the text
  };
  for (const std::string& request : kUnanswered) {
    EXPECT_EQ(Ask(request), "") << "kind " << GetInt32Le(request, kRequestKindOffset);
  }
}

TEST_F(TerminalServiceTest, ASlotWithoutItsTerminatorEndsAtTheSlotsEnd) {
  const std::string address(32, 'M');
  store_.addClass("Wide", "", address, "wide");
  std::string request = Request(kPasswordKind, {"", "", ""});
  request.replace(32, 32, address);  // slot 2, no zero byte
  EXPECT_EQ(Ask(request), PasswordRecordBytes("wide"));
}

TEST_F(TerminalServiceTest, TwoRequestsInOneSendAreBothAnswered) {
  EXPECT_EQ(
      Ask(Request(kClassNameKind, {"AA-02", "", ""}) + Request(kPasswordKind, {"AA-01", "", ""})),
      Le(u"Other") + PasswordRecordBytes("secret-a"));
}

TEST_F(TerminalServiceTest, ARequestInPiecesIsAnsweredOnceWhenItsLastByteArrives) {
  const std::string request = Request(kClassNameKind, {"AA-01", "", ""});
  // Each piece is read by the service before the next goes: three receives.
  const auto pieceRead = [&] { return testing::PeerReadEverything(connection_.socket().fd()); };
  ASSERT_TRUE(connection_.send(request.substr(0, 60)));
  ASSERT_TRUE(testing::WaitFor(pieceRead));
  ASSERT_TRUE(connection_.send(request.substr(60, 39)));
  ASSERT_TRUE(testing::WaitFor(pieceRead));
  EXPECT_EQ(Ask(request.substr(99) + Request(kClassNameKind, {"AA-02", "", ""})),
            Le(u"初二年级甲") + Le(u"Other"));
}

TEST_F(TerminalServiceTest, AFailedReadEndsTheRequestAfterTheRecordsBeforeIt) {
  store_.exec(
      "Update tblkcTime set ThName=NULL where ID=(select ID from tblkcTime where "
      "BJName='Other' Order by ID limit 1 offset 2)");
  std::string periods = Ask(Request(kPeriodsKind, {"AA-02", "", ""}));
  EXPECT_EQ(periods, PeriodsOf("Other").substr(0, 2 * kPeriodRecordSize));
  EXPECT_TRUE(messages_.texts().empty());
}

}  // namespace
}  // namespace brenlow
