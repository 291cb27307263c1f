// Text as it may be shown to a person. Stored values stay byte for byte as they arrived (from a
// terminal, a controller, a file); a terminal that prints them raw would obey the escape
// sequences they carry (clear the screen, hide text, retitle the window). So every table, CSV
// cell and log line shows a value through ShownText, and JSON output through nlohmann's
// replacing error handler (which escapes controls as JSON does).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brenlow {

// The bytes as valid UTF-8: each byte that does not belong to a well-formed UTF-8 sequence
// (overlong forms and surrogates included) becomes U+FFFD; the rest is kept.
std::string ValidUtf8(std::string_view bytes);

// The position of the first byte that does not begin a well-formed UTF-8 sequence (no overlong
// forms, no surrogates, nothing beyond U+10FFFF), or npos when every byte belongs to one.
size_t FirstInvalidUtf8Byte(std::string_view bytes);

bool IsValidUtf8(std::string_view bytes);

// ValidUtf8, with every control character (C0 except tab, DEL, C1) written as "\x" and two
// lower-case hex digits of its code point: ESC shows as \x1b, U+009B as \x9b.
std::string ShownText(std::string_view bytes);

}  // namespace brenlow
