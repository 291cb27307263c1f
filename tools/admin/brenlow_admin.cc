// brenlow-admin: administering a school's Brenlow database from a shell, beside the running
// server. main only parses the command line and runs the command chosen.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <utility>

#include "app/default_database.h"
#include "command_words.h"
#include "commands.h"
#include "core/shown_text.h"
#include "core/version.h"
#include "store_change.h"

namespace brenlow::admin {

CLI::Validator DateValidator() {
  return CLI::Validator(
      [](std::string& text) {
        return IsDate(text) ? std::string() : "expected YYYY-MM-DD, not " + text;
      },
      "YYYY-MM-DD");
}

void AddFormatOption(CLI::App* command, OutputFormat* format) {
  // The words only: a transformer over the enum would take its numbers as well.
  command
      ->add_option_function<std::string>(
          "--format",
          [format](const std::string& word) {
            *format = word == "csv"    ? OutputFormat::kCsv
                      : word == "json" ? OutputFormat::kJson
                                       : OutputFormat::kTable;
          },
          "output format: table (default), csv or json")
      ->check(CLI::Validator(
          [](std::string& word) {
            return word == "table" || word == "csv" || word == "json"
                       ? std::string()
                       : "expected table, csv or json, not " + word;
          },
          "table|csv|json"))
      ->option_text("table|csv|json");
}

namespace {

// The usage line first, then the description: the first line after the usage paragraph is the
// command's one-line summary (the manual pages take it from there).
class UsageFirstFormatter final : public CLI::Formatter {
 public:
  std::string make_description(const CLI::App*) const override { return std::string(); }
  std::string make_usage(const CLI::App* app, std::string name) const override {
    return CLI::Formatter::make_usage(app, std::move(name)) + "\n" + app->get_description() + "\n";
  }
};

int Run(int argc, char** argv) {
  CLI::App app(
      "Administer a Brenlow timetable server's database from a shell.\n"
      "Classes, teachers, timetable and teacher files, the school calendar and one-day changes, "
      "rooms' status, teachers' use time, backup and restore. Safe to run while the server runs; "
      "never asks a question.\n"
      "Exit status: 0 done, 1 input refused or a statement failed (one line on stderr), 2 usage "
      "error.",
      "brenlow-admin");
  app.set_help_all_flag("--help-all", "Print help for every command and exit");
  std::string version = VersionLine("brenlow-admin");
  version.pop_back();
  app.set_version_flag("--version", version, "Print the version and exit");
  std::string database = kDefaultDatabasePath;
  app.add_option("--database", database, "the database file")->capture_default_str();
  app.require_subcommand(1);
  app.fallthrough();

  StoreMessages messages;
  Commands commands;
  commands.messages = &messages;
  AddStatusCommand(app, commands);
  AddClassCommands(app, commands);
  AddTeacherCommands(app, commands);
  AddTimetableCommands(app, commands);
  AddFileCommands(app, commands);
  AddUsageCommand(app, commands);
  AddStoreCommands(app, commands);
  AddChangeCommands(app, commands);
  AddEventsCommands(app, commands);
  AddPowerCommand(app, commands);
  AddCalendarCommand(app, commands);
  // Set after the commands were added: they keep the default layout, which --help-all uses.
  app.formatter(std::make_shared<UsageFirstFormatter>());
  // Also after: a command's own help does not repeat the tool's examples.
  app.footer(
      "Examples:\n"
      "  brenlow-admin status --format json\n"
      "  brenlow-admin class add 一班 10.0.0.5 00-1A-2B-3C-4D-5E secret\n"
      "  brenlow-admin teacher rename 12 张老师\n"
      "  brenlow-admin import-timetable times.csv courses.csv\n"
      "  brenlow-admin period set --all-classes --all-days --all-periods --auto-on 1 --auto-off 1\n"
      "  brenlow-admin timetable 一班 --day 星期一\n"
      "  brenlow-admin change add 2026-12-14 一班 3 --teacher 8 --note 张老师病假\n"
      "  brenlow-admin usage --from 2026-12-01 --to 2026-12-31 --format csv\n"
      "  brenlow-admin calendar add 2026-10-01..2026-10-07 off --note 国庆节\n"
      "  brenlow-admin backup /var/backups/brenlow.db\n"
      "Each command has its own --help.");

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (std::string error = NotUtf8Error(arguments); !error.empty()) {
    std::cerr << "brenlow-admin: " << error << '\n';
    return kRefused;
  }
  if (std::string error = UnknownCommandError(app, arguments, {"--database"}); !error.empty()) {
    std::cerr << "brenlow-admin: " << error << '\n';
    return kUsageError;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    // Help and version end well; every refused command line is a usage error, said in one line.
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
      return app.exit(error);
    std::cerr << "brenlow-admin: " << ShownText(error.what()) << "; see brenlow-admin --help\n";
    return kUsageError;
  }
  commands.store = Store(database);
  const bool readsOnly = app.got_subcommand("check") || app.got_subcommand("backup");
  if (std::string unusable = StoreUnusable(commands.store, readsOnly); !unusable.empty()) {
    std::cerr << "brenlow-admin: " << ShownText(unusable) << '\n';
    return kRefused;
  }
  for (auto& [command, run] : commands.runners) {
    if (command->parsed())
      return run();
  }
  std::cerr << app.help();
  return kUsageError;
}

}  // namespace
}  // namespace brenlow::admin

int main(int argc, char** argv) {
  return brenlow::admin::Run(argc, argv);
}
