// backup, restore, check: SQLite's online backup and integrity check on the live database
// (data/store_copy.h, data/store_check.h), safe while the server runs.
#include <iostream>
#include <memory>

#include "commands.h"
#include "core/clock.h"
#include "data/store_check.h"
#include "data/store_copy.h"

namespace brenlow::admin {
namespace {

struct StoreArguments {
  std::string file;
};

// Beside the database, named for the moment it was taken:
// brenlow.db.before-restore-20261210-114500 (with -2, -3, ... when that name is taken).
std::string SavedCopyPath(const Store& store) {
  LocalTime now = SystemClock().now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return store.path() + ".before-restore-" + stamp;
}

int Backup(const Store& store, const StoreArguments& arguments) {
  std::string error;
  if (!BackupStore(store.path(), arguments.file, &error))
    return Refuse("backup", error);
  std::cout << "backed up " << store.path() << " to " << arguments.file << '\n';
  return kDone;
}

int Restore(const Store& store, const StoreArguments& arguments) {
  std::string saved;
  std::string error;
  if (!RestoreStore(arguments.file, store.path(), SavedCopyPath(store), &saved, &error))
    return Refuse("restore " + arguments.file, error);
  std::cout << "restored " << store.path() << " from " << arguments.file
            << "; the database as it was is in " << saved << '\n';
  return kDone;
}

int Check(const Store& store) {
  StoreCheck check = CheckStore(store.path());
  if (check.ok()) {
    std::cout << "ok\n";
    return kDone;
  }
  for (const std::string& problem : check.problems)
    std::cout << problem << '\n';
  return Refuse("check", store.path() + (check.opened ? ": the database has faults"
                                                      : ": not a database that can be read"));
}

}  // namespace

void AddStoreCommands(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<StoreArguments>();
  CLI::App* backup = app.add_subcommand(
      "backup", "Write a consistent copy of the database to FILE, also while the server runs");
  backup->add_option("FILE", arguments->file, "the copy to write (replaced when complete)")
      ->required();
  commands.add(backup, [&commands, arguments] { return Backup(commands.store, *arguments); });

  CLI::App* restore = app.add_subcommand(
      "restore",
      "Copy the Brenlow database FILE into the database, also while the server runs (it uses "
      "the restored data from its next statement); the database as it was is first saved "
      "beside it as <database>.before-restore-<date>-<time> (never replacing an earlier one)");
  restore->add_option("FILE", arguments->file, "a Brenlow database (a copy made by backup)")
      ->required()
      ->check(CLI::ExistingFile);
  commands.add(restore, [&commands, arguments] { return Restore(commands.store, *arguments); });

  CLI::App* check = app.add_subcommand(
      "check",
      "Run SQLite's integrity check and compare the tables with the ones brenlow "
      "--init-database makes (names, columns, types, key); triggers, views and a class with "
      "more than 7 periods a weekday or 7 course rows are faults too; prints ok, or each fault "
      "(exit 1)");
  commands.add(check, [&commands] { return Check(commands.store); });
}

}  // namespace brenlow::admin
