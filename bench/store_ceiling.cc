#include "store_ceiling.h"

#include <sqlite3.h>

#include <cstdio>

namespace brenlow {

double MeasureCeiling(const std::string& path, const std::vector<CeilingStep>& steps,
                      const std::vector<CeilingClass>& classes,
                      std::chrono::milliseconds duration) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    std::fprintf(stderr, "ceiling: cannot open %s\n", path.c_str());
    sqlite3_close_v2(db);
    return 0;
  }
  std::vector<sqlite3_stmt*> prepared;
  for (const CeilingStep& step : steps) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v3(db, step.sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    prepared.push_back(statement);
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + duration;
  uint64_t requests = 0;
  size_t bytesRead = 0;  // every value is read as text, as a reply needs it
  Clock::time_point start = Clock::now();
  while (Clock::now() < end) {
    for (int batch = 0; batch < 16; ++batch, ++requests) {
      const CeilingClass& target = classes[requests % classes.size()];
      for (size_t s = 0; s < steps.size(); ++s) {
        sqlite3_stmt* statement = prepared[s];
        if (steps[s].takesValue) {
          const std::string& value = steps[s].valueIsClassName ? target.name : target.address;
          sqlite3_bind_text(statement, 1, value.data(), static_cast<int>(value.size()),
                            SQLITE_STATIC);
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
          for (int c = 0, n = sqlite3_column_count(statement); c < n; ++c) {
            sqlite3_column_text(statement, c);
            bytesRead += static_cast<size_t>(sqlite3_column_bytes(statement, c));
          }
        }
        sqlite3_reset(statement);
      }
    }
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (sqlite3_stmt* statement : prepared)
    sqlite3_finalize(statement);
  sqlite3_close_v2(db);
  return bytesRead > 0 ? requests / seconds : 0;
}

}  // namespace brenlow
