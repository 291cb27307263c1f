// The lenient integer reading that every reader of stored numbers uses: leading blanks, an
// optional sign, then decimal digits up to the first other character; no digits give 0
// (" 8" and "08" give 8, "8:00" gives 8, " " gives 0). Values beyond int clamp to its range.
#pragma once

#include <string_view>

namespace brenlow {

int LenientInteger(std::string_view text);

}  // namespace brenlow
