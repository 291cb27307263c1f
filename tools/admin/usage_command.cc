// usage: minutes per teacher per day and class, the teacher's total over those days and the
// running total of the teacher record beside it (schedule/usage_report.h).
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "commands.h"
#include "data/database_path.h"
#include "schedule/usage_report.h"
#include "text_table.h"

namespace brenlow::admin {
namespace {

struct UsageArguments {
  std::string from, to;
  OutputFormat format = OutputFormat::kTable;
};

std::string RunningTotal(const TeacherUsage& teacher) {
  return teacher.runningTotal ? std::to_string(*teacher.runningTotal) : std::string();
}

int Usage(const UsageArguments& arguments) {
  if (!arguments.from.empty() && !arguments.to.empty() && arguments.from > arguments.to) {
    std::cerr << "brenlow-admin: usage: --from " << arguments.from << " is after --to "
              << arguments.to << '\n';
    return kUsageError;
  }
  std::optional<std::vector<TeacherUsage>> teachers = ReadUsage(arguments.from, arguments.to);
  if (!teachers)
    return Refuse("usage", DatabasePath() + ": cannot be read as a Brenlow database");
  if (arguments.format == OutputFormat::kJson) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TeacherUsage& teacher : *teachers) {
      nlohmann::ordered_json object;
      object["number"] = teacher.number;
      object["name"] = teacher.name;
      object["days"] = nlohmann::ordered_json::array();
      for (const UsageDay& day : teacher.days)
        object["days"].push_back(
            {{"date", day.date}, {"class", day.className}, {"minutes", day.minutes}});
      object["total"] = teacher.total;
      object["running_total"] = teacher.runningTotal ? nlohmann::ordered_json(*teacher.runningTotal)
                                                     : nlohmann::ordered_json(nullptr);
      list.push_back(object);
    }
    WriteJson(std::cout, list);
    return kDone;
  }
  std::vector<TextRow> rows;
  for (const TeacherUsage& teacher : *teachers) {
    for (const UsageDay& day : teacher.days) {
      TextRow row = {teacher.number, teacher.name, day.date, day.className,
                     std::to_string(day.minutes)};
      if (arguments.format == OutputFormat::kCsv)
        row.insert(row.end(), {std::to_string(teacher.total), RunningTotal(teacher)});
      rows.push_back(std::move(row));
    }
    if (arguments.format == OutputFormat::kTable) {
      rows.push_back({teacher.number, teacher.name, "合计", "", std::to_string(teacher.total),
                      RunningTotal(teacher)});
    }
  }
  if (arguments.format == OutputFormat::kCsv) {
    WriteCsv(std::cout, {"number", "name", "date", "class", "minutes", "total", "running_total"},
             rows);
  } else {
    WriteTextTable(std::cout, {"工号", "姓名", "日期", "班级", "分钟", "累计使用时长"}, rows);
  }
  return kDone;
}

}  // namespace

void AddUsageCommand(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<UsageArguments>();
  CLI::App* usage = app.add_subcommand(
      "usage",
      "Minutes of use per teacher per day and class, each teacher's total over those days and "
      "running total (without --from and --to: every day)");
  usage->add_option("--from", arguments->from, "first day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  usage->add_option("--to", arguments->to, "last day (included)")
      ->option_text("YYYY-MM-DD")
      ->check(DateValidator());
  AddFormatOption(usage, &arguments->format);
  commands.add(usage, [arguments] { return Usage(*arguments); });
}

}  // namespace brenlow::admin
