// A database for fuzz targets: created once per process in a temporary folder; the targets hand
// Store(FuzzStore(...)) to the code they feed.
#pragma once

#include <string>

namespace brenlow::fuzzing {

// Creates the store on the first call and runs seedSql on it then; later calls return the same
// path.
const std::string& FuzzStore(const std::string& seedSql);

// Drops the server's log lines (commands, swipes, store failures) for the rest of the
// process: a fuzz run produces millions of them.
void QuietLog();

}  // namespace brenlow::fuzzing
