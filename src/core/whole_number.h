// The strict reading of a stored number, beside the lenient one (lenient_integer.h): a whole
// number with optional blanks around it, an optional sign and decimal digits ("08" is 8);
// nullopt for anything else (" ", "8:00", "", a number beyond int). Readers that must pass
// over a row without a real number use it.
#pragma once

#include <optional>
#include <string_view>

namespace brenlow {

std::optional<int> WholeNumber(std::string_view text);

}  // namespace brenlow
