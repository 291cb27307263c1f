// Reading a file that a less trusted account may have replaced. The credentials file lives in a
// folder that the group brenlow may write, and root writes it (brenlow --set-credentials): a
// member could put a symbolic link there (so that root's write lands on /etc/shadow), a FIFO
// (so that reading it blocks for ever) or a device. Only a regular file, not reached through a
// link, is read or replaced; anything else is refused by name.
#pragma once

#include <optional>
#include <string>

namespace brenlow {

enum class RegularFileRead {
  kRead,     // *contents holds the whole file
  kMissing,  // nothing is at the path
  kRefused,  // *error says what is there instead (a link, a FIFO, ...) or why it was unreadable
};

// Reads path whole. Never follows a symbolic link in the last component and never waits on a
// FIFO.
RegularFileRead ReadRegularFile(const std::string& path, std::string* contents, std::string* error);

// Why whatever is at path may not be read or replaced as a regular file ("PATH is a symbolic
// link, not a regular file"); nullopt when it is a regular file or nothing is there.
std::optional<std::string> NotRegularFileProblem(const std::string& path);

}  // namespace brenlow
