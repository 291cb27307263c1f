#include "schedule/usage_report.h"

#include <map>
#include <utility>

#include "core/lenient_integer.h"
#include "data/database.h"

namespace brenlow {

std::optional<std::vector<TeacherUsage>> ReadUsage(const Store& store, const std::string& from,
                                                   const std::string& to) {
  std::vector<TeacherUsage> teachers;
  try {
    Database db = store.database();
    RecordSet records = db.query("select * from tblThMes Order by ID");
    RecordSet rows = db.query("select * from tbl_teacher_usetime Order by ID");
    if (!records.isValid() || !rows.isValid())
      return std::nullopt;
    std::map<std::string, size_t> byNumber;
    for (; !records.isEof(); records.moveNext()) {
      const std::string number = records.fieldText("Numb");
      if (byNumber.count(number) != 0)
        continue;
      byNumber[number] = teachers.size();
      teachers.push_back(TeacherUsage{
          number, records.fieldText("Name"), {}, 0, LenientInteger(records.fieldText("UseTime"))});
    }
    std::vector<bool> used(teachers.size(), false);
    // (date, class) -> minutes per teacher; a day's credits may sit in more than one row.
    std::vector<std::map<std::pair<std::string, std::string>, long long>> minutes(teachers.size());
    for (; !rows.isEof(); rows.moveNext()) {
      const std::string date = rows.fieldText("date_day");
      if ((!from.empty() && date < from) || (!to.empty() && date > to))
        continue;
      const std::string number = rows.fieldText("teacher_Numb");
      auto found = byNumber.find(number);
      if (found == byNumber.end()) {
        found = byNumber.emplace(number, teachers.size()).first;
        teachers.push_back(TeacherUsage{number, rows.fieldText("teacher_Name"), {}, 0, {}});
        used.push_back(false);
        minutes.emplace_back();
      }
      used[found->second] = true;
      minutes[found->second][{date, rows.fieldText("class_Name")}] +=
          LenientInteger(rows.fieldText("use_time"));
    }
    std::vector<TeacherUsage> report;
    for (size_t i = 0; i < teachers.size(); ++i) {
      if (!used[i])
        continue;
      for (const auto& [day, sum] : minutes[i]) {
        teachers[i].days.push_back(UsageDay{day.first, day.second, sum});
        teachers[i].total += sum;
      }
      report.push_back(std::move(teachers[i]));
    }
    return report;
  } catch (const DatabaseError&) {
    return std::nullopt;
  }
}

}  // namespace brenlow
