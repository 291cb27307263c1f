// A file only read is opened through an SQLite URI: a file name holding what a URI gives a
// meaning to ('?', '#', '%', a blank) or other bytes must still name that file.
#include "data/read_only_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "data/schema.h"
#include "data/store_check.h"
#include "support/temp_database.h"

namespace brenlow {
namespace {

TEST(ReadOnlyStore, AnyFileNameOpensItsOwnFile) {
  testing::TempDatabase store;
  for (const std::string name :
       {"备份 12月.db", "a?mode=rw.db", "b#c.db", "50%25.db", "d%.db", "e&immutable=0.db"}) {
    SCOPED_TRACE(name);
    const std::string path = store.folder() + "/" + name;
    std::string error;
    ASSERT_TRUE(CreateDatabase(path, &error)) << error;
    testing::TempDatabase::ExecAt(path, "insert into tblbj (Name) values ('" + name + "')");
    ReadOnlyStore opened(path);
    ASSERT_NE(opened.handle(), nullptr) << opened.error();
    EXPECT_TRUE(CheckStore(path).ok());
    EXPECT_TRUE(sqlite3_db_readonly(opened.handle(), "main") == 1);
  }
  // Nothing but the files made was created beside them.
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(store.folder()))
    ++files;
  EXPECT_EQ(files, 7u);
}

// A WAL-mode file without its -wal is read without locks; a writer that changes it meanwhile
// (here a whole open, write and close, which folds the write into the file) is noticed, so that
// the reader reads again.
TEST(ReadOnlyStore, AFileReadWithoutLocksKnowsWhenAWriterChangedIt) {
  testing::TempDatabase store;
  const std::string path = store.folder() + "/copy.db";
  std::string error;
  ASSERT_TRUE(CreateDatabase(path, &error)) << error;
  // An old time, so that the write's time differs however coarse the clock of the file system.
  const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
  ASSERT_EQ(ReadOnlyStoreUri(path).substr(ReadOnlyStoreUri(path).find('?')), "?immutable=1");
  ReadOnlyStore reader(path);
  ASSERT_NE(reader.handle(), nullptr) << reader.error();
  EXPECT_TRUE(reader.unchangedSinceOpen());
  testing::TempDatabase::ExecAt(path, "insert into tblbj (Name) values ('一班')");
  EXPECT_FALSE(reader.unchangedSinceOpen());
}

}  // namespace
}  // namespace brenlow
