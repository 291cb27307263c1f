#include "data/schema.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/temp_database.h"

namespace brenlow {
namespace {

TEST(Schema, NewDatabaseIsInWalModeWithDefaultsThatAreNeverNull) {
  testing::TempDatabase store;
  EXPECT_EQ(store.value("PRAGMA journal_mode"), "wal");
  store.exec(
      "Insert into tblbj (Name) Values ('A'); Insert into tblkcTime (BJName, Week) Values ('A', "
      "'星期一');"
      "Insert into tblThMes (Numb, Name, NameNumb) Values ('1','T','T(1)');"
      "Insert into tblkc (BJName) Values ('A'); Insert into tbl_teacher_usetime (teacher_Numb) "
      "Values ('1')");
  EXPECT_EQ(store.value("select Status || '|' || PCIP || '|' || ZKIP || '|' || Pass || '|' || "
                        "PCMacAddr from tblbj"),
            "0||||");
  EXPECT_EQ(store.value("select StartH || StartM || EndH || EndM || ThName || '|' || AutoOn || "
                        "AutoOff from tblkcTime"),
            "     |00");
  EXPECT_EQ(store.value("select UseTime from tblThMes"), "");
  EXPECT_EQ(store.value("select Monday || Tuesday || Wednesday || Thursday || Friday from tblkc"),
            "");
  EXPECT_EQ(store.value("select use_time from tbl_teacher_usetime"), "0");
}

TEST(Schema, RefusesAnExistingFileAndLeavesItUntouched) {
  testing::TempDatabase store;
  std::string path = store.folder() + "/existing.db";
  { std::ofstream(path) << "keep me"; }
  std::string error;
  EXPECT_FALSE(CreateDatabase(path, &error));
  EXPECT_NE(error.find("already exists"), std::string::npos);
  std::ifstream in(path);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "keep me");
}

TEST(Schema, UnwritableFolderIsReportedAndLeavesNothing) {
  std::string error;
  EXPECT_FALSE(CreateDatabase("/nonexistent-folder/new.db", &error));
  EXPECT_NE(error.find("/nonexistent-folder/new.db"), std::string::npos);
}

}  // namespace
}  // namespace brenlow
