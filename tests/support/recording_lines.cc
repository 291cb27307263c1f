#include "support/recording_lines.h"

namespace brenlow::testing {

void RecordingLines::write(const std::string& line) {
  static const std::string kPrefix = "brenlow: ";
  std::lock_guard lock(mutex_);
  lines_.push_back(line.rfind(kPrefix, 0) == 0 ? line.substr(kPrefix.size()) : line);
}

std::vector<std::string> RecordingLines::take() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> taken;
  taken.swap(lines_);
  return taken;
}

}  // namespace brenlow::testing
