// Counting and cutting UTF-8 text by characters, as the store's texts are limited: by code points
// (what a person counts) or by UTF-16 code units (what the CSV files' fields were measured in).
// The text is taken to be valid UTF-8; a stray byte counts as one character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brenlow {

// The stored texts have room for 39 characters; longer texts are cut to that on the way in.
inline constexpr int kStoredTextCharacters = 39;
// The modify dialogs (and the commands that do what they do) take at most 20 characters.
inline constexpr int kModifyTextLimit = 20;

size_t CharacterCount(std::string_view utf8);
size_t Utf16Length(std::string_view utf8);
// The first `limit` characters; never splits a character.
std::string CutCharacters(std::string_view utf8, int limit = kStoredTextCharacters);

// A text as a message quotes it: between double quotes, cut to its first 60 characters with
// "…" after a cut, so that a refusal never repeats a whole field of megabytes.
std::string QuotedForMessage(std::string_view utf8);

}  // namespace brenlow
