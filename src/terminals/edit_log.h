// The edit log: every edit a terminal sends to port 62124 writes one stderr line (so, under
// systemd, one journal line), never suppressed, with the peer, the row and the fields it changed
// (old -> new):
//
//   edit period from=10.0.0.9 class=一班 week=星期三 row=1: StartH "8" -> "9", ThName "" ->
//   "张老师(1)" edit courses from=10.0.0.9 class=一班 row=0: Monday "语文" -> "数学" edit period
//   from=10.0.0.9 class=一班 week=星期三 row=7: no such row
//
// Lines hold addresses, class names and field values, never a password. Any thread.
#pragma once

#include <string>
#include <vector>

namespace brenlow {

// One changed field of an edit.
struct FieldChange {
  std::string field;
  std::string before;
  std::string after;
};

// Logs an edit received from peer: what names the row ("class=一班 week=星期三 row=1"), then the
// changes, or outcome when it is not empty ("no such row", "no change", a failure).
void LogEdit(const char* kind, const std::string& peer, const std::string& row,
             const std::vector<FieldChange>& changes, const std::string& outcome);

}  // namespace brenlow
