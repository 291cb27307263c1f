// The teachers' use time as recorded: minutes per teacher, day and class from the per-day
// usage rows (tbl_teacher_usetime), the teacher's total over the days asked for, and the running
// total the teacher record keeps (tblThMes.UseTime) beside it. Any thread.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/store.h"

namespace brenlow {

struct UsageDay {
  std::string date;  // "%Y-%m-%d"
  std::string className;
  long long minutes = 0;
};

struct TeacherUsage {
  std::string number;
  std::string name;                       // the teacher record's, else the usage rows'
  std::vector<UsageDay> days;             // by date, then class
  long long total = 0;                    // of days
  std::optional<long long> runningTotal;  // nullopt: no teacher record with that number
};

// The usage of the days from `from` to `to` (both "%Y-%m-%d", both included; empty: no bound).
// Teachers come in the teacher list's order, teachers without a record after them. nullopt when
// the store cannot be read.
std::optional<std::vector<TeacherUsage>> ReadUsage(const Store& store, const std::string& from,
                                                   const std::string& to);

}  // namespace brenlow
