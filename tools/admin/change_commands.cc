// change add/remove/list: one-day changes of one period (records/day_changes.h), a substitute
// teacher or a cancelled lesson, through the functions the calendar window uses.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "data/database.h"
#include "records/day_changes.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

struct ChangeArguments {
  std::string date;
  std::string className;
  int period = 0;
  std::string teacherNumber;
  bool cancel = false;
  std::string note;
  std::string from, to;  // list
  OutputFormat format = OutputFormat::kTable;
};

std::string CannotRead(const Store& store) {
  return store.path() + ": cannot be read as a Brenlow database";
}

// What the store reported about a failed statement; never empty.
std::string StoreFailure(Commands& commands) {
  std::string reported = commands.messages->take();
  return reported.empty() ? "the store refused the statement" : reported;
}

std::string Where(const char* verb, const ChangeArguments& arguments) {
  return std::string("change ") + verb + " " + arguments.date + " " + arguments.className + " " +
         std::to_string(arguments.period);
}

int AddChange(Commands& commands, const ChangeArguments& arguments) {
  const std::string where = Where("add", arguments);
  DayChange change;
  change.date = *CalendarDate::Parse(arguments.date);  // the option's check accepted a day
  change.className = arguments.className;
  change.period = arguments.period;
  change.kind = arguments.cancel ? ChangeKind::kCancelled : ChangeKind::kSubstitute;
  change.teacherNumber = arguments.teacherNumber;
  change.note = arguments.note;
  try {
    Database db = commands.store.database();
    if (!db.open())
      return Refuse(where, StoreFailure(commands));
    const std::string refusal = DayChangeRefusal(db, change);
    if (!refusal.empty())
      return Refuse(where, refusal);
    if (!AddDayChange(db, change))
      return Refuse(where, StoreFailure(commands));
  } catch (const DatabaseError&) {
    return Refuse(where, CannotRead(commands.store));
  }
  return kDone;
}

int RemoveChange(Commands& commands, const ChangeArguments& arguments) {
  const std::string where = Where("remove", arguments);
  try {
    Database db = commands.store.database();
    if (!db.open())
      return Refuse(where, StoreFailure(commands));
    const std::optional<bool> removed = RemoveDayChange(db, *CalendarDate::Parse(arguments.date),
                                                        arguments.className, arguments.period);
    if (!removed)
      return Refuse(where, StoreFailure(commands));
    if (!*removed)
      return Refuse(where, "no change on that date for that class and period");
  } catch (const DatabaseError&) {
    return Refuse(where, CannotRead(commands.store));
  }
  return kDone;
}

int ListChanges(const Store& store, const ChangeArguments& arguments) {
  if (!arguments.from.empty() && !arguments.to.empty() && arguments.from > arguments.to) {
    std::cerr << "brenlow-admin: change list: --from " << arguments.from << " is after --to "
              << arguments.to << '\n';
    return kUsageError;
  }
  std::vector<DayChange> changes;
  try {
    Database db = store.database();
    if (!db.open())
      return Refuse("change list", CannotRead(store));
    changes =
        ListDayChanges(db, CalendarDate::Parse(arguments.from), CalendarDate::Parse(arguments.to));
  } catch (const DatabaseError&) {
    return Refuse("change list", CannotRead(store));
  }
  if (arguments.format == OutputFormat::kJson) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const DayChange& change : changes) {
      nlohmann::ordered_json object;
      object["date"] = change.date.text();
      object["class"] = change.className;
      object["period"] = change.period;
      object["kind"] = ChangeKindKey(change.kind);
      object["teacher"] = change.kind == ChangeKind::kSubstitute
                              ? nlohmann::ordered_json(change.teacher)
                              : nlohmann::ordered_json(nullptr);
      object["note"] = change.note;
      list.push_back(object);
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  const bool table = arguments.format == OutputFormat::kTable;
  std::vector<TextRow> rows;
  for (const DayChange& change : changes) {
    rows.push_back({change.date.text(), change.className, std::to_string(change.period),
                    table ? ChangeKindText(change.kind) : ChangeKindKey(change.kind),
                    change.teacher, change.note});
  }
  if (table)
    WriteTextTable(std::cout, {"日期", "班级", "节", "类型", "代课老师", "备注"}, rows);
  else
    WriteCsv(std::cout, {"date", "class", "period", "kind", "teacher", "note"}, rows);
  return kDone;
}

// DATE CLASS PERIOD, the arguments every change command but list takes.
void AddPeriodArguments(CLI::App* command, ChangeArguments* arguments) {
  command->add_option("DATE", arguments->date, "the day")
      ->required()
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  command->add_option("CLASS", arguments->className, "the class's name")->required();
  command
      ->add_option("PERIOD", arguments->period,
                   "the period, 1 to 7, counted among the periods that apply on that day (on a "
                   "make-up day, those of the weekday it follows)")
      ->required();
}

}  // namespace

void AddChangeCommands(CLI::App& app, Commands& commands) {
  CLI::App* change = app.add_subcommand(
      "change",
      "One-day changes: a substitute teacher or a cancelled lesson for one period of one day");
  change->require_subcommand(1);

  auto add = std::make_shared<ChangeArguments>();
  CLI::App* addCommand = change->add_subcommand(
      "add",
      "Give one period of one day a substitute (whose card then opens the room and who is "
      "credited) or cancel it (not powered on, nobody credited, still powered off); replaces "
      "that period's change of that day");
  AddPeriodArguments(addCommand, add.get());
  CLI::Option_group* kind = addCommand->add_option_group("kind", "exactly one of:");
  kind->add_option("--teacher", add->teacherNumber, "the substitute's teacher number")
      ->option_text("NUMBER");
  kind->add_flag("--cancel", add->cancel, "cancel the lesson");
  kind->require_option(1);
  addCommand->add_option("--note", add->note, "why (kept with the change)")->option_text("TEXT");
  commands.add(addCommand, [&commands, add] { return AddChange(commands, *add); });

  auto remove = std::make_shared<ChangeArguments>();
  CLI::App* removeCommand =
      change->add_subcommand("remove", "Remove the change of one period of one day");
  AddPeriodArguments(removeCommand, remove.get());
  commands.add(removeCommand, [&commands, remove] { return RemoveChange(commands, *remove); });

  auto list = std::make_shared<ChangeArguments>();
  CLI::App* listCommand = change->add_subcommand(
      "list", "The one-day changes by date, class and period (without --from and --to: all)");
  listCommand->add_option("--from", list->from, "first day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  listCommand->add_option("--to", list->to, "last day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  AddFormatOption(listCommand, &list->format);
  commands.add(listCommand, [&commands, list] { return ListChanges(commands.store, *list); });
}

}  // namespace brenlow::admin
