#include "steady_edits.h"

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>

namespace brenlow {

SteadyEdits::SteadyEdits(std::string path, std::string className,
                         std::chrono::milliseconds interval)
    : thread_([this, path = std::move(path), className = std::move(className),
               interval](std::stop_token stop) {
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
          sqlite3_close_v2(db);
          return;
        }
        sqlite3_busy_timeout(db, 10000);
        sqlite3_stmt* edit = nullptr;
        sqlite3_prepare_v2(db,
                           "Update tblkcTime set StartM=?1 where ID=(select min(ID) from "
                           "tblkcTime where BJName=?2)",
                           -1, &edit, nullptr);
        std::mutex mutex;
        std::condition_variable_any wake;
        for (int minute = 0; !stop.stop_requested(); minute = (minute + 1) % 60) {
          sqlite3_bind_text(edit, 1, std::to_string(minute).c_str(), -1, SQLITE_TRANSIENT);
          sqlite3_bind_text(edit, 2, className.c_str(), -1, SQLITE_TRANSIENT);
          if (sqlite3_step(edit) == SQLITE_DONE)
            ++edits_;
          sqlite3_reset(edit);
          std::unique_lock lock(mutex);
          wake.wait_for(lock, stop, interval, [] { return false; });
        }
        sqlite3_finalize(edit);
        sqlite3_close_v2(db);
      }) {}

SteadyEdits::~SteadyEdits() {
  thread_.request_stop();
}

}  // namespace brenlow
