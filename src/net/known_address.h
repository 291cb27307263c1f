// The known-address test of the terminal ports: does a class have this hardware address?
#pragma once

#include <string>

namespace brenlow {

// True when tblbj holds a row whose PCMacAddr equals address (compared as it is); false when it
// holds none or the query fails. Opens a Database of its own; never throws.
bool IsKnownAddress(const std::string& address);

}  // namespace brenlow
