// Every brenlow-admin command on a database it cannot use says so in one line that names the
// file and the real reason: a missing file, one this user may not open, one that is no Brenlow
// database, one that may only be read. Only a readable file that is not a Brenlow database is
// called one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/read_only_file.h"
#include "support/temp_database.h"
#include "tools/admin_run.h"

namespace brenlow {
namespace {

using testing::AdminRun;
using testing::TempDatabase;

struct Command {
  std::vector<std::string> arguments;
  bool writes;  // changes the store (a read-only file refuses it)
  bool whole;   // check and backup take any readable file and say themselves what it is
};

// The result of the command on database, run as user nobody when stranger.
AdminRun RunOn(const std::string& database, const Command& command, bool stranger) {
  if (!stranger)
    return testing::RunAdmin(database, command.arguments);
  std::vector<std::string> arguments = {"--reuid=nobody", "--regid=nogroup",
                                        "--clear-groups", testing::ToolPath("brenlow-admin"),
                                        "--database",     database};
  arguments.insert(arguments.end(), command.arguments.begin(), command.arguments.end());
  testing::Program program("/usr/bin/setpriv", arguments);
  AdminRun run;
  run.code = program.wait(std::chrono::seconds(30));
  run.output = program.output();
  run.errors = program.errors();
  return run;
}

TEST(AdminStoreFaults, EveryCommandNamesTheDatabaseAndTheRealReason) {
  TempDatabase store;
  store.addClass("一班");
  const std::string folder = store.folder();
  const std::vector<Command> commands = {
      {{"status"}, false, false},
      {{"check"}, false, true},
      {{"classes"}, false, false},
      {{"timetable", "一班"}, false, false},
      {{"events"}, false, false},
      {{"class", "add", "二班", "10.0.0.2", "00-1A-2B-3C-4D-5E", "pw"}, true, false},
      {{"teacher", "add", "65-10-0-1", "张老师"}, true, false},
      {{"backup", folder + "/copy.db"}, false, true},
  };

  const std::string missing = folder + "/missing.db";
  const std::string notes = folder + "/notes.db";
  std::ofstream(notes) << "a shopping list, not a database\n";
  for (const Command& command : commands) {
    SCOPED_TRACE(command.arguments[0]);
    AdminRun run = RunOn(missing, command, false);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.errors, "brenlow-admin: " + missing +
                              ": no such database; create it with brenlow --init-database " +
                              missing + "\n");

    run = RunOn(notes, command, false);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.errors.find(notes), std::string::npos) << run.errors;
    // SQLite's own words where the command opens any file, ours where it asks for a Brenlow one.
    EXPECT_NE(run.errors.find(command.whole ? "not a database" : ": not a Brenlow database"),
              std::string::npos)
        << run.errors;
  }

  // A copy that may only be read: read, copied and checked; a change names the file and why.
  const std::string copy = folder + "/read-only.db";
  std::filesystem::copy_file(store.path(), copy);
  {
    testing::ReadOnlyFile readOnly(copy);
    if (!readOnly.active())
      GTEST_SKIP() << readOnly.description();
    for (const Command& command : commands) {
      SCOPED_TRACE(command.arguments[0]);
      std::filesystem::remove(folder + "/copy.db");
      AdminRun run = RunOn(copy, command, false);
      if (!command.writes) {
        EXPECT_EQ(run.code, 0) << run.errors;
        continue;
      }
      EXPECT_EQ(run.code, 1);
      EXPECT_NE(run.errors.find(copy + ": "), std::string::npos) << run.errors;
      EXPECT_NE(run.errors.find("readonly"), std::string::npos) << run.errors;
    }
  }

  if (::geteuid() != 0)
    GTEST_SKIP() << "the other user needs root to run as";
  // The test's folder is its owner's alone: user nobody may not reach the file.
  for (const Command& command : commands) {
    SCOPED_TRACE(command.arguments[0]);
    AdminRun run = RunOn(store.path(), command, true);
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.errors.rfind("brenlow-admin: " + store.path() + ": user nobody may not read", 0),
              0u)
        << run.errors;
    EXPECT_NE(run.errors.find("用户组"), std::string::npos) << run.errors;
  }
}

}  // namespace
}  // namespace brenlow
