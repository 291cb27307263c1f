#include "events/last_heard.h"

#include "data/database.h"
#include "events/server_state.h"

namespace brenlow {

std::optional<std::string> LastHeard::of(const std::string& className) const {
  auto found = byClass.find(className);
  if (found == byClass.end())
    return std::nullopt;
  return found->second;
}

bool LastHeard::heardSinceStart(const std::string& className) const {
  std::optional<std::string> time = of(className);
  // Both times have whole seconds: a report in the second of the start counts as after it.
  return time && !serverStarted.empty() && *time >= serverStarted;
}

LastHeard ReadLastHeard(const Store& store) {
  LastHeard heard;
  heard.serverStarted = ReadServerState(store.path(), kServerStartedName).value_or("");
  Database db = store.database();
  RecordSet rows = db.query("select class, time from tbl_last_report Order by ID");
  try {
    for (; rows.isValid() && !rows.isEof(); rows.moveNext())
      heard.byClass[rows.fieldText("class")] = rows.fieldText("time");
  } catch (const DatabaseError&) {
  }
  return heard;
}

}  // namespace brenlow
