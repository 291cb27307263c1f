#include "terminals/edit_log.h"

#include "core/messages.h"

namespace brenlow {

void LogEdit(const char* kind, const std::string& peer, const std::string& row,
             const std::vector<FieldChange>& changes, const std::string& outcome) {
  std::string line = std::string("edit ") + kind + " from=" + peer + " " + row + ":";
  if (!outcome.empty()) {
    line += " " + outcome;
  } else if (changes.empty()) {
    line += " no change";
  } else {
    for (size_t i = 0; i < changes.size(); ++i) {
      line += (i == 0 ? " " : ", ") + changes[i].field + " \"" + changes[i].before + "\" -> \"" +
              changes[i].after + "\"";
    }
  }
  WriteStderrLine(line);
}

}  // namespace brenlow
