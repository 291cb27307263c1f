// Replacing a file whole: the new contents go to a temporary file in the same folder, which is
// flushed to disk and then renamed over the old file. A reader (or a crash) sees either the old
// file or the new one, never a mixture or a truncated file. There is no fallback that writes in
// place: when the folder does not allow a new file, nothing is written and the reason is given.
#pragma once

#include <string>
#include <string_view>

namespace brenlow {

// The mode of a replaced file: its owner and its group may read and write it (a shared
// credentials file is replaced by any member of the group), nobody else may read it.
inline constexpr unsigned kReplacedFileMode = 0660;

// Writes contents to path. Refuses a path that holds anything but a regular file (a symbolic
// link, a FIFO, a device: regular_file.h). False with *error (when given) set to the path and
// the reason; the old file is then unchanged.
bool ReplaceFileWhole(const std::string& path, std::string_view contents,
                      std::string* error = nullptr);

}  // namespace brenlow
