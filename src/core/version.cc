#include "core/version.h"

namespace brenlow {

const char* BrenlowVersion() {
  return BRENLOW_VERSION_TEXT;
}

std::string VersionLine(const std::string& program) {
  return program + " " + BrenlowVersion() + "\n";
}

}  // namespace brenlow
