#include "records/calendar_records.h"

#include <gtest/gtest.h>

#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::RecordingMessages;
using testing::TempDatabase;

CalendarDate Date(const char* text) {
  return CalendarDate::Parse(text).value();
}

std::vector<std::string> Lines(const std::vector<CalendarEntry>& entries) {
  std::vector<std::string> lines;
  for (const CalendarEntry& entry : entries) {
    lines.push_back(entry.date.text() + " " + CalendarKindKey(entry.kind) + " " + entry.weekday +
                    "|" + entry.className + "|" + entry.note);
  }
  return lines;
}

TEST(CalendarTexts, KindsWeekdaysAndRanges) {
  EXPECT_EQ(CalendarKindFromText("OFF"), CalendarKind::kOff);
  EXPECT_EQ(CalendarKindFromText("调休"), CalendarKind::kFollows);
  EXPECT_FALSE(CalendarKindFromText("holiday"));
  for (const char* text : {"星期三", "3", "Wednesday", "WEDNESDAY"})
    EXPECT_EQ(SchoolWeekdayFromText(text), "星期三") << text;
  for (const char* text : {"星期六", "星期天", "6", "0", "saturday", "", "03"})
    EXPECT_FALSE(SchoolWeekdayFromText(text)) << text;
  EXPECT_EQ(DatesFromTo(Date("2024-02-28"), Date("2024-03-01"))->size(), 3u);  // a leap year
  EXPECT_EQ(DatesFromTo(Date("2024-01-01"), Date("2024-12-31"))->size(), 366u);
  EXPECT_FALSE(DatesFromTo(Date("2025-01-01"), Date("2026-01-02")));  // 367 days
  EXPECT_FALSE(DatesFromTo(Date("2024-03-02"), Date("2024-03-01")));
  for (const char* text : {"2026-02-29", "2026-04-31", "2026-13-01", "2026-1-01", "2026/01/01"})
    EXPECT_FALSE(CalendarDate::Parse(text)) << text;
}

class CalendarRecordsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    store_.addClass("一班");
    db_.open();
  }

  TempDatabase store_;
  RecordingMessages messages_;
  Database db_ = store_.store().database();
};

TEST_F(CalendarRecordsTest, AddingAgainReplacesAndListsInDateOrder) {
  ASSERT_TRUE(
      AddCalendarEntries(db_, {{Date("2026-10-02"), CalendarKind::kOff, "", "", "国庆节"},
                               {Date("2026-10-02"), CalendarKind::kOff, "", "一班", "春游"},
                               {Date("2026-10-01"), CalendarKind::kOff, "", "", "国庆"},
                               {Date("2026-10-10"), CalendarKind::kFollows, "星期五", "", ""}}));
  ASSERT_TRUE(AddCalendarEntries(db_, {{Date("2026-10-01"), CalendarKind::kOff, "", "", "国庆节"}}))
      << ::testing::PrintToString(messages_.texts());
  EXPECT_EQ(Lines(ListCalendarEntries(db_, std::nullopt, std::nullopt)),
            (std::vector<std::string>{"2026-10-01 off ||国庆节", "2026-10-02 off ||国庆节",
                                      "2026-10-02 off |一班|春游", "2026-10-10 follows 星期五||"}));
  EXPECT_EQ(Lines(ListCalendarEntries(db_, Date("2026-10-02"), Date("2026-10-02"))).size(), 2u);
  EXPECT_EQ(RemoveCalendarEntries(db_, Date("2026-10-01"), Date("2026-10-10"), ""), 3);
  EXPECT_EQ(Lines(ListCalendarEntries(db_, std::nullopt, std::nullopt)),
            std::vector<std::string>{"2026-10-02 off |一班|春游"});
  EXPECT_TRUE(messages_.texts().empty());
}

TEST_F(CalendarRecordsTest, AFailingEntryLeavesNothingWritten) {
  store_.exec(
      "Create trigger refuse before insert on tbl_calendar when new.note='bad' "
      "begin select raise(abort, 'refused'); end");
  EXPECT_FALSE(AddCalendarEntries(db_, {{Date("2026-10-01"), CalendarKind::kOff, "", "", "ok"},
                                        {Date("2026-10-02"), CalendarKind::kOff, "", "", "bad"}}));
  EXPECT_TRUE(ListCalendarEntries(db_, std::nullopt, std::nullopt).empty());
  EXPECT_FALSE(messages_.texts().empty());
  // The connection is usable again afterwards.
  EXPECT_TRUE(AddCalendarEntries(db_, {{Date("2026-10-01"), CalendarKind::kOff, "", "", "ok"}}));
}

TEST_F(CalendarRecordsTest, Refusals) {
  struct Case {
    CalendarEntry entry;
    std::string refusal;
  } cases[] = {
      {{Date("2026-10-01"), CalendarKind::kOff, "", "一班", ""}, ""},
      {{Date("2026-10-01"), CalendarKind::kOff, "", "九班", ""}, "no such class: 九班"},
      {{Date("2026-10-10"), CalendarKind::kFollows, "星期六", "", ""},
       "a make-up day follows 星期一 to 星期五, not: 星期六"},
      {{Date("2026-10-10"), CalendarKind::kFollows, "星期一", "一班", ""},
       "a make-up day is for the whole school, not one class"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CalendarEntryRefusal(db_, c.entry), c.refusal);
}

}  // namespace
}  // namespace brenlow
