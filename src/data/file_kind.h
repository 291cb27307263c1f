// How a refusal names a file system entry that is not a regular file, so that every command
// that writes or reads a file for a person says it the same way.
#pragma once

#include <sys/stat.h>

#include <string>

namespace brenlow {

// "a symbolic link", "a FIFO", "a device", "a folder", "a socket" or "not a regular file".
const char* FileKindText(mode_t mode);

// "<path> is <kind>, not a regular file".
std::string NotRegularFileText(const std::string& path, mode_t mode);

}  // namespace brenlow
