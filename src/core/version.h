// The version every program prints for --version ("brenlow-admin 0.2.0"): the project's, as the
// build gives it.
#pragma once

#include <string>

namespace brenlow {

const char* BrenlowVersion();

// "<program> <version>\n".
std::string VersionLine(const std::string& program);

}  // namespace brenlow
