// Makes writes fail part-way: while the guard lives, no file this process writes may grow beyond
// a few bytes (RLIMIT_FSIZE, which binds root too). SIGXFSZ is ignored meanwhile, so that a
// write past the limit fails with EFBIG instead of ending the process. Header-only.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace brenlow::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    savedHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, savedHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t savedHandler_ = SIG_DFL;
};

}  // namespace brenlow::testing
