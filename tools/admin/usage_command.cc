// usage: minutes per teacher per day and class (with the courses taught), or per day, week or
// month, the teacher's total over those days and the running total of the teacher record beside
// it (schedule/usage_report.h).
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/calendar_date.h"
#include "csv_output.h"
#include "events/event_time.h"
#include "schedule/lesson_courses.h"
#include "schedule/usage_report.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

using Json = nlohmann::ordered_json;

enum class Grouping { kNone, kDay, kWeek, kMonth };

struct UsageArguments {
  std::string from, to;
  Grouping groupBy = Grouping::kNone;
  OutputFormat format = OutputFormat::kTable;
  CsvEncoding encoding = CsvEncoding::kByOutput;
};

std::string RunningTotal(const TeacherUsage& teacher) {
  return teacher.runningTotal ? std::to_string(*teacher.runningTotal) : std::string();
}

// The group of a day: the day itself, the Monday of its week, or "YYYY-MM".
std::string GroupOf(const std::string& date, Grouping grouping) {
  if (grouping == Grouping::kMonth)
    return date.substr(0, 7);
  std::optional<CalendarDate> day = CalendarDate::Parse(date);
  if (grouping != Grouping::kWeek || !day)
    return date;
  const int sinceMonday = (day->weekday() + 6) % 7;
  return DaysEarlier(MakeLocalTime(day->year, day->month, day->day, 12, 0), sinceMonday).dateText();
}

const char* GroupKey(Grouping grouping) {
  return grouping == Grouping::kWeek ? "week" : grouping == Grouping::kMonth ? "month" : "date";
}

const char* GroupHeader(Grouping grouping) {
  return grouping == Grouping::kWeek    ? "周（自星期一）"
         : grouping == Grouping::kMonth ? "月"
                                        : "日期";
}

// Minutes per group of each teacher's days, in group order.
std::vector<std::map<std::string, long long>> Grouped(const std::vector<TeacherUsage>& teachers,
                                                      Grouping grouping) {
  std::vector<std::map<std::string, long long>> groups;
  for (const TeacherUsage& teacher : teachers) {
    groups.emplace_back();
    for (const UsageDay& day : teacher.days)
      groups.back()[GroupOf(day.date, grouping)] += day.minutes;
  }
  return groups;
}

int WriteGrouped(const std::vector<TeacherUsage>& teachers, const UsageArguments& arguments) {
  const std::vector<std::map<std::string, long long>> groups = Grouped(teachers, arguments.groupBy);
  const char* key = GroupKey(arguments.groupBy);
  if (arguments.format == OutputFormat::kJson) {
    Json list = Json::array();
    for (size_t i = 0; i < teachers.size(); ++i) {
      Json object;
      object["number"] = teachers[i].number;
      object["name"] = teachers[i].name;
      object["groups"] = Json::array();
      for (const auto& [group, minutes] : groups[i])
        object["groups"].push_back({{key, group}, {"minutes", minutes}});
      object["total"] = teachers[i].total;
      object["running_total"] =
          teachers[i].runningTotal ? Json(*teachers[i].runningTotal) : Json(nullptr);
      list.push_back(object);
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  std::vector<TextRow> rows;
  for (size_t i = 0; i < teachers.size(); ++i) {
    const TeacherUsage& teacher = teachers[i];
    for (const auto& [group, minutes] : groups[i]) {
      TextRow row = {teacher.number, teacher.name, group, std::to_string(minutes)};
      if (arguments.format == OutputFormat::kCsv)
        row.insert(row.end(), {std::to_string(teacher.total), RunningTotal(teacher)});
      rows.push_back(std::move(row));
    }
    if (arguments.format == OutputFormat::kTable) {
      rows.push_back({teacher.number, teacher.name, "合计", std::to_string(teacher.total),
                      RunningTotal(teacher)});
    }
  }
  if (arguments.format == OutputFormat::kCsv) {
    WriteCsvOutput({"number", "name", key, "minutes", "total", "running_total"}, rows,
                   arguments.encoding);
  } else {
    WriteTextTable(std::cout,
                   {"工号", "姓名", GroupHeader(arguments.groupBy), "分钟", "累计使用时长"}, rows);
  }
  return kDone;
}

int Usage(const Store& store, const UsageArguments& arguments) {
  if (!arguments.from.empty() && !arguments.to.empty() && arguments.from > arguments.to) {
    std::cerr << "brenlow-admin: usage: --from " << arguments.from << " is after --to "
              << arguments.to << '\n';
    return kUsageError;
  }
  std::optional<std::vector<TeacherUsage>> teachers =
      ReadUsage(store, arguments.from, arguments.to);
  if (!teachers)
    return Refuse("usage", store.path() + ": cannot be read as a Brenlow database");
  if (arguments.groupBy != Grouping::kNone)
    return WriteGrouped(*teachers, arguments);
  // The courses of each day's lessons, by that day's plan.
  Database db = store.database();
  auto courses = [&db](const TeacherUsage& teacher, const UsageDay& day) {
    std::optional<CalendarDate> date = CalendarDate::Parse(day.date);
    return date ? LessonCourses(db, *date, day.className, teacher.number) : std::string();
  };
  if (arguments.format == OutputFormat::kJson) {
    Json list = Json::array();
    for (const TeacherUsage& teacher : *teachers) {
      Json object;
      object["number"] = teacher.number;
      object["name"] = teacher.name;
      object["days"] = Json::array();
      for (const UsageDay& day : teacher.days) {
        const std::string course = courses(teacher, day);
        object["days"].push_back({{"date", day.date},
                                  {"class", day.className},
                                  {"course", course.empty() ? Json(nullptr) : Json(course)},
                                  {"minutes", day.minutes}});
      }
      object["total"] = teacher.total;
      object["running_total"] = teacher.runningTotal ? Json(*teacher.runningTotal) : Json(nullptr);
      list.push_back(object);
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  std::vector<TextRow> rows;
  for (const TeacherUsage& teacher : *teachers) {
    for (const UsageDay& day : teacher.days) {
      TextRow row = {teacher.number, teacher.name,          day.date,
                     day.className,  courses(teacher, day), std::to_string(day.minutes)};
      if (arguments.format == OutputFormat::kCsv)
        row.insert(row.end(), {std::to_string(teacher.total), RunningTotal(teacher)});
      rows.push_back(std::move(row));
    }
    if (arguments.format == OutputFormat::kTable) {
      rows.push_back({teacher.number, teacher.name, "合计", "", "", std::to_string(teacher.total),
                      RunningTotal(teacher)});
    }
  }
  if (arguments.format == OutputFormat::kCsv) {
    WriteCsvOutput(
        {"number", "name", "date", "class", "course", "minutes", "total", "running_total"}, rows,
        arguments.encoding);
  } else {
    WriteTextTable(std::cout, {"工号", "姓名", "日期", "班级", "课程", "分钟", "累计使用时长"},
                   rows);
  }
  return kDone;
}

}  // namespace

void AddUsageCommand(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<UsageArguments>();
  CLI::App* usage = app.add_subcommand(
      "usage",
      "Minutes of use per teacher per day and class (with the courses taught), or per day, week "
      "or month, each teacher's total over those days and running total (without --from and "
      "--to: every day)");
  usage->add_option("--from", arguments->from, "first day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  usage->add_option("--to", arguments->to, "last day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  const std::map<std::string, Grouping> groupings = {
      {"day", Grouping::kDay}, {"week", Grouping::kWeek}, {"month", Grouping::kMonth}};
  usage
      ->add_option("--group-by", arguments->groupBy,
                   "minutes per teacher and day, week (from Monday) or month, classes together")
      ->transform(CLI::CheckedTransformer(groupings))
      ->option_text("day|week|month");
  AddFormatOption(usage, &arguments->format);
  AddEncodingOption(usage, &arguments->encoding);
  commands.add(usage, [&commands, arguments] { return Usage(commands.store, *arguments); });
}

}  // namespace brenlow::admin
