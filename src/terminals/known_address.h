// The known-address test of the terminal ports: does a class have this hardware address?
#pragma once

#include <array>
#include <string>

#include "data/store.h"
#include "terminals/terminal_request.h"

namespace brenlow {

// True when tblbj holds a row whose PCMacAddr equals address (compared as it is); false when it
// holds none or the query fails. Opens a Database of its own; never throws.
bool IsKnownAddress(const Store& store, const std::string& address);

// The first slot, in order 1, 2, 3, whose text passes the known-address test; later slots are
// not looked at. nullptr when none passes.
const std::string* FirstKnownSlot(const Store& store,
                                  const std::array<std::string, kAddressSlotCount>& slots);

}  // namespace brenlow
