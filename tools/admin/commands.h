// The commands of brenlow-admin, each group adding its subcommands to the argument parser.
// A command registers the function that runs it; main runs the one the command line chose.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <utility>
#include <vector>

#include "admin_command.h"
#include "app/default_database.h"
#include "data/store.h"

namespace brenlow::admin {

struct Commands {
  StoreMessages* messages = nullptr;
  // The database every command works on: --database, set once the command line is parsed.
  Store store{kDefaultDatabasePath};
  // Leaf subcommands and what runs them.
  std::vector<std::pair<CLI::App*, std::function<int()>>> runners;

  void add(CLI::App* command, std::function<int()> run) {
    runners.emplace_back(command, std::move(run));
  }
};

// --format table|csv|json on command, into format.
void AddFormatOption(CLI::App* command, OutputFormat* format);

// Accepts a YYYY-MM-DD text of a real calendar day.
CLI::Validator DateValidator();

void AddStatusCommand(CLI::App& app, Commands& commands);
void AddClassCommands(CLI::App& app, Commands& commands);
void AddTeacherCommands(CLI::App& app, Commands& commands);
void AddTimetableCommands(CLI::App& app, Commands& commands);
void AddFileCommands(CLI::App& app, Commands& commands);
void AddUsageCommand(CLI::App& app, Commands& commands);
void AddStoreCommands(CLI::App& app, Commands& commands);
void AddChangeCommands(CLI::App& app, Commands& commands);
void AddEventsCommands(CLI::App& app, Commands& commands);
void AddPowerCommand(CLI::App& app, Commands& commands);
void AddCalendarCommand(CLI::App& app, Commands& commands);

}  // namespace brenlow::admin
