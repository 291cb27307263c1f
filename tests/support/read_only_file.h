// Makes a file read-only for every writer while the guard lives, root included: tests run as
// root, and root ignores file modes. The guard sets the file's immutable attribute, which the
// kernel enforces against every process, root too, and against descriptors already open for
// writing. Where the attribute cannot be set (a file system without it, no CAP_LINUX_IMMUTABLE)
// and the process is not root, it takes write permission away instead, which then binds the
// program as well; otherwise active() is false and the test should skip.
#pragma once

#include <string>

namespace brenlow::testing {

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(std::string path);
  ~ReadOnlyFile();  // makes the file writable again
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool active() const { return how_ != How::kNone; }
  // How the file was made read-only, for skip messages and failure output.
  std::string description() const;
  // Makes the file writable again now.
  void release();

 private:
  enum class How { kNone, kImmutable, kNoWritePermission };
  std::string path_;
  How how_ = How::kNone;
  std::string whyNot_;
};

}  // namespace brenlow::testing
