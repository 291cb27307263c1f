#include "data/store_preparation.h"

#include <gtest/gtest.h>

#include "core/weekdays.h"
#include "support/recording_messages.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

using testing::RecordingMessages;
using testing::TempDatabase;
using Texts = std::vector<std::string>;

TEST(StorePreparation, ResetClassStatusSetsEveryStatusToZero) {
  TempDatabase store;
  store.exec("Insert into tblbj (Name, Status) Values ('一班', 1), ('二班', 7), ('三班', 0)");
  ResetClassStatus(store.store());
  EXPECT_EQ(store.column("select Status from tblbj Order by ID"), (Texts{"0", "0", "0"}));
}

TEST(StorePreparation, EmptyPeriodTableGivesEveryClass35BlankPeriodsInWeekdayBlocks) {
  TempDatabase store;
  RecordingMessages messages;
  store.exec("Insert into tblbj (Name) Values ('一班'), ('二班')");
  CreateDefaultPeriods(store.store());

  Texts expectedClasses(35, "一班");
  expectedClasses.resize(70, "二班");
  Texts expectedWeeks;
  for (int classIndex = 0; classIndex < 2; ++classIndex) {
    for (const char* weekday : kSchoolWeekdays)
      expectedWeeks.resize(expectedWeeks.size() + 7, weekday);
  }
  EXPECT_EQ(store.column("select BJName from tblkcTime Order by ID"), expectedClasses);
  EXPECT_EQ(store.column("select Week from tblkcTime Order by ID"), expectedWeeks);
  EXPECT_EQ(store.column("select distinct StartH||'|'||StartM||'|'||EndH||'|'||EndM||'|'||ThName"
                         "||'|'||AutoOn||'|'||AutoOff from tblkcTime"),
            Texts{" | | | | |0|0"});
  EXPECT_TRUE(messages.texts().empty());

  // The next start creates nothing, also for a class added in between.
  store.exec("Insert into tblbj (Name) Values ('三班')");
  CreateDefaultPeriods(store.store());
  EXPECT_EQ(store.value("select count(*) from tblkcTime"), "70");
}

TEST(StorePreparation, AFailingInsertionEndsTheStepForTheClassesAfterIt) {
  TempDatabase store;
  RecordingMessages messages;
  store.exec("Insert into tblbj (Name) Values ('一班'), ('二班'), ('三班')");
  store.exec(
      "CREATE TRIGGER refuse BEFORE INSERT ON tblkcTime WHEN new.BJName='二班' "
      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
  CreateDefaultPeriods(store.store());
  EXPECT_EQ(messages.texts(), Texts{"refused"});
  EXPECT_EQ(store.column("select distinct BJName from tblkcTime"), Texts{"一班"});
  EXPECT_EQ(store.value("select count(*) from tblkcTime"), "35");
}

}  // namespace
}  // namespace brenlow
