// The shell's rules for records that terminals and controllers must be able to use. The
// dialogs keep their own, looser rules; brenlow-admin is scripted, so a mistake there would
// repeat over a whole school before anyone saw it, and it refuses what the server could not
// serve: a controller address the listener would never match, a class name longer than a
// terminal receives.
#pragma once

#include <string>
#include <string_view>

namespace brenlow {

// A terminal receives a class name of at most this many UTF-16 code units.
inline constexpr size_t kShellClassNameUnits = 19;

// Four decimal parts 0-255 joined by dots, nothing else (no blanks, no signs, at most three
// digits a part).
bool IsDottedIpv4(std::string_view text);

// Six pairs of hex digits joined by "-" (00-1A-2B-3C-4D-5E).
bool IsHardwareAddress(std::string_view text);

// A teacher number is the card number a controller reports, as the listener writes it: four
// numbers 0-255 in decimal without leading zeros, joined by "-" (65-10-0-1).
bool IsCardNumber(std::string_view text);

// Why a class name cannot be stored from the shell (leading or trailing blanks, too long,
// empty), or empty when it can.
std::string ClassNameProblem(std::string_view name);

}  // namespace brenlow
