// calendar add/remove/list/import: the school calendar's entries (records/calendar_records.h,
// records/calendar_import.h), the same functions as the calendar window's.
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "data/database.h"
#include "records/calendar_import.h"
#include "records/calendar_records.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

struct CalendarArguments {
  std::string dates;  // DATE or DATE..DATE
  std::string kind;   // off, follows
  std::string weekday;
  std::string className;
  std::string note;
  std::string from, to;
  std::string file;
  std::vector<std::string> follows;  // DATE=WEEKDAY
  OutputFormat format = OutputFormat::kTable;
};

int UsageError(const std::string& where, const std::string& what) {
  std::cerr << "brenlow-admin: " << where << ": " << what << '\n';
  return kUsageError;
}

// DATE or DATE..DATE as its days; a refusal text otherwise.
std::optional<std::vector<CalendarDate>> Dates(const std::string& text, std::string* refusal) {
  const size_t dots = text.find("..");
  const std::string firstText = text.substr(0, dots);
  const std::string lastText = dots == std::string::npos ? firstText : text.substr(dots + 2);
  std::optional<CalendarDate> first = CalendarDate::Parse(firstText);
  std::optional<CalendarDate> last = CalendarDate::Parse(lastText);
  if (!first || !last) {
    *refusal = "expected YYYY-MM-DD, not " + (first ? lastText : firstText);
    return std::nullopt;
  }
  std::optional<std::vector<CalendarDate>> dates = DatesFromTo(*first, *last);
  if (!dates) {
    *refusal = *last < *first
                   ? "the range ends before it begins"
                   : "a range covers at most " + std::to_string(kMaxCalendarRangeDays) + " days";
  }
  return dates;
}

// Opens the store and runs change on it: an empty text when done, the refusal otherwise.
int ChangeCalendar(Commands& commands, const std::string& where,
                   const std::function<std::string(Database&)>& change) {
  try {
    Database db = commands.store.database();
    if (!db.open())
      return Refuse(where, commands.messages->take());
    const std::string refusal = change(db);
    if (!refusal.empty())
      return Refuse(where, refusal);
  } catch (const DatabaseError&) {
    return Refuse(where, commands.store.path() + ": cannot be read as a Brenlow database");
  }
  return kDone;
}

std::string StoreFailure(Commands& commands) {
  const std::string reported = commands.messages->take();
  return reported.empty() ? "the store refused the statement" : reported;
}

int AddEntries(Commands& commands, const CalendarArguments& arguments) {
  const std::string where = "calendar add " + arguments.dates;
  const bool follows = arguments.kind == "follows";
  if (follows && !arguments.className.empty())
    return UsageError(where, "a make-up day is for the whole school: --class goes with off only");
  if (follows && arguments.weekday.empty())
    return UsageError(where, "follows needs the WEEKDAY whose periods the day runs");
  if (!follows && !arguments.weekday.empty())
    return UsageError(where, "off takes no WEEKDAY");
  if (follows && arguments.dates.find("..") != std::string::npos)
    return UsageError(where, "a make-up day is one DATE, not a range");
  std::string refusal;
  std::optional<std::vector<CalendarDate>> dates = Dates(arguments.dates, &refusal);
  if (!dates)
    return Refuse(where, refusal);
  std::string weekday;
  if (follows) {
    std::optional<std::string> school = SchoolWeekdayFromText(arguments.weekday);
    if (!school)
      return Refuse(where, "a make-up day follows 星期一 to 星期五, not: " + arguments.weekday);
    weekday = *school;
  }
  std::vector<CalendarEntry> entries;
  for (const CalendarDate& date : *dates) {
    entries.push_back(CalendarEntry{date, follows ? CalendarKind::kFollows : CalendarKind::kOff,
                                    weekday, arguments.className, arguments.note});
  }
  return ChangeCalendar(commands, where, [&](Database& db) -> std::string {
    std::string refusal = CalendarEntryRefusal(db, entries.front());
    if (!refusal.empty())
      return refusal;
    return AddCalendarEntries(db, entries) ? std::string() : StoreFailure(commands);
  });
}

int RemoveEntries(Commands& commands, const CalendarArguments& arguments) {
  const std::string where = "calendar remove " + arguments.dates;
  std::string refusal;
  std::optional<std::vector<CalendarDate>> dates = Dates(arguments.dates, &refusal);
  if (!dates)
    return Refuse(where, refusal);
  return ChangeCalendar(commands, where, [&](Database& db) -> std::string {
    std::optional<int> removed =
        RemoveCalendarEntries(db, dates->front(), dates->back(), arguments.className);
    if (!removed)
      return StoreFailure(commands);
    std::cout << "removed " << *removed << '\n';
    return std::string();
  });
}

int ListEntries(const Store& store, const CalendarArguments& arguments) {
  if (!arguments.from.empty() && !arguments.to.empty() && arguments.from > arguments.to) {
    return UsageError("calendar list",
                      "--from " + arguments.from + " is after --to " + arguments.to);
  }
  std::vector<CalendarEntry> entries;
  try {
    Database db = store.database();
    if (!db.query("select ID from tblbj limit 1").isValid())
      return Refuse("calendar list", store.path() + ": cannot be read as a Brenlow database");
    entries = ListCalendarEntries(db, CalendarDate::Parse(arguments.from),
                                  CalendarDate::Parse(arguments.to));
  } catch (const DatabaseError&) {
    return Refuse("calendar list", store.path() + ": cannot be read as a Brenlow database");
  }
  if (arguments.format == OutputFormat::kJson) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const CalendarEntry& entry : entries) {
      nlohmann::ordered_json object;
      object["date"] = entry.date.text();
      object["kind"] = CalendarKindKey(entry.kind);
      object["weekday"] = entry.kind == CalendarKind::kFollows
                              ? nlohmann::ordered_json(entry.weekday)
                              : nlohmann::ordered_json(nullptr);
      object["class"] = entry.className.empty() ? nlohmann::ordered_json(nullptr)
                                                : nlohmann::ordered_json(entry.className);
      object["note"] = entry.note;
      list.push_back(object);
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  std::vector<TextRow> rows;
  const bool table = arguments.format == OutputFormat::kTable;
  for (const CalendarEntry& entry : entries) {
    const bool follows = entry.kind == CalendarKind::kFollows;
    if (table) {
      rows.push_back({entry.date.text(), CalendarKindText(entry.kind), follows ? entry.weekday : "",
                      entry.className.empty() ? "全校" : entry.className, entry.note});
    } else {
      rows.push_back({entry.date.text(), CalendarKindKey(entry.kind), follows ? entry.weekday : "",
                      entry.className, entry.note});
    }
  }
  if (table)
    WriteTextTable(std::cout, {"日期", "类型", "按星期", "班级", "备注"}, rows);
  else
    WriteCsv(std::cout, {"date", "kind", "weekday", "class", "note"}, rows);
  return kDone;
}

int ImportEntries(Commands& commands, const CalendarArguments& arguments) {
  const std::string where = "calendar import";
  std::map<std::string, std::string> followed;
  for (const std::string& pair : arguments.follows) {
    const size_t equals = pair.find('=');
    const std::string date = pair.substr(0, equals);
    if (equals == std::string::npos || !CalendarDate::Parse(date))
      return Refuse(where, "--follows takes DATE=WEEKDAY, not: " + pair);
    std::optional<std::string> weekday = SchoolWeekdayFromText(pair.substr(equals + 1));
    if (!weekday)
      return Refuse(where, "--follows " + pair + ": a make-up day follows 星期一 to 星期五");
    followed[date] = *weekday;
  }
  return ChangeCalendar(commands, where, [&](Database& db) -> std::string {
    CalendarImport result = ImportCalendarFile(db, arguments.file, followed);
    if (!result.ok) {
      const std::string store = commands.messages->take();
      return result.error + (store.empty() ? "" : " (" + store + ")");
    }
    std::cout << "imported " << result.written.size() << '\n';
    for (const MakeUpDay& day : result.unnamedMakeUpDays) {
      std::cout << day.date << ' ' << day.name << " 补班：用 calendar add " << day.date
                << " follows 星期X 指定\n";
    }
    return std::string();
  });
}

}  // namespace

void AddCalendarCommand(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<CalendarArguments>();
  CLI::App* group = app.add_subcommand(
      "calendar",
      "The school calendar: days off for the whole school or a class, and make-up days that run "
      "another weekday's periods");
  group->require_subcommand(1);

  CLI::App* add = group->add_subcommand(
      "add",
      "Add a day off (DATE or DATE..DATE, at most 366 days; the whole school or --class) or a "
      "whole-school make-up day (DATE follows WEEKDAY: 星期一..星期五, 1..5 or monday..friday); "
      "an entry of the same date and class is replaced");
  add->add_option("DATE", arguments->dates, "YYYY-MM-DD or YYYY-MM-DD..YYYY-MM-DD")->required();
  add->add_option("KIND", arguments->kind, "off or follows")
      ->required()
      ->check(CLI::IsMember({"off", "follows"}));
  add->add_option("WEEKDAY", arguments->weekday, "follows: the weekday whose periods run");
  add->add_option("--class", arguments->className, "off: only this class (default: whole school)");
  add->add_option("--note", arguments->note, "a note (the holiday's name)");
  commands.add(add, [&commands, arguments] { return AddEntries(commands, *arguments); });

  CLI::App* remove = group->add_subcommand(
      "remove", "Remove the entries of DATE or DATE..DATE (the whole school's, or --class's)");
  remove->add_option("DATE", arguments->dates, "YYYY-MM-DD or YYYY-MM-DD..YYYY-MM-DD")->required();
  remove->add_option("--class", arguments->className, "the class whose entries to remove");
  commands.add(remove, [&commands, arguments] { return RemoveEntries(commands, *arguments); });

  CLI::App* list = group->add_subcommand("list", "List the entries in date order");
  list->add_option("--from", arguments->from, "the first day")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  list->add_option("--to", arguments->to, "the last day")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  AddFormatOption(list, &arguments->format);
  commands.add(list, [&commands, arguments] { return ListEntries(commands.store, *arguments); });

  CLI::App* import = group->add_subcommand(
      "import",
      "Import a holiday data set (JSON with a \"days\" array of {name, date, isOffDay}) or a CSV "
      "file (header date,kind,weekday,class,note; UTF-8 or code page 936). A faulty file is "
      "refused whole. Make-up days (isOffDay false) need --follows; without it they are listed");
  import->add_option("FILE", arguments->file, "the file to import")->required();
  import
      ->add_option("--follows", arguments->follows,
                   "the weekday a make-up day of the file runs (repeatable)")
      ->option_text("DATE=WEEKDAY");
  commands.add(import, [&commands, arguments] { return ImportEntries(commands, *arguments); });
}

}  // namespace brenlow::admin
