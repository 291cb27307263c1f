// A line sink for tests: keeps every line written through WriteStderrLine (the server's log)
// while it lives, instead of letting it reach stderr.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "core/messages.h"

namespace brenlow::testing {

class RecordingLines final : public LineSink {
 public:
  RecordingLines() { InstallLineSink(this); }
  ~RecordingLines() override { InstallLineSink(nullptr); }

  void write(const std::string& line) override;

  // The lines written so far, without the "brenlow: " prefix, and forgets them.
  std::vector<std::string> take();

 private:
  std::mutex mutex_;
  std::vector<std::string> lines_;  // guarded by mutex_
};

}  // namespace brenlow::testing
