// Texts and integers inside the fixed-width records of the terminal ports.
//
// Byte buffers are std::string (raw bytes, not text). The store holds UTF-8; terminals speak
// UTF-16 little-endian in fixed-width fields ended by a zero code unit, and narrow (single
// byte) text in the hardware-address slots of a request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brenlow {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// The first maxUnits code units of text; a surrogate pair that would be split is dropped
// whole, so the cut never leaves half a character.
std::u16string CutToCodeUnits(std::u16string_view text, size_t maxUnits);

// The code units of text as UTF-16LE bytes, without terminator.
std::string Utf16LeBytes(std::u16string_view text);

// Writes text into the field of width bytes at offset of record (which must be large enough):
// at most width / 2 - 1 code units (and at most maxUnits), then a zero code unit, the rest of
// the field zero.
void PutUtf16Field(std::string& record, size_t offset, size_t width, std::string_view utf8,
                   size_t maxUnits = SIZE_MAX);
// The text of a UTF-16LE field: up to its first zero code unit, or the whole field when it
// has none. Bytes of the field that record does not hold count as missing (end of text).
std::string GetUtf16Field(std::string_view record, size_t offset, size_t width);

// Narrow text: at most width - 1 bytes, then zero bytes to the end of the field.
void PutNarrowField(std::string& record, size_t offset, size_t width, std::string_view text);
// The bytes of a narrow field up to its first zero byte, or the whole field without one.
std::string GetNarrowField(std::string_view record, size_t offset, size_t width);

void PutInt32Le(std::string& record, size_t offset, int32_t value);
// A signed 32-bit little-endian integer; record must hold offset + 4 bytes.
int32_t GetInt32Le(std::string_view record, size_t offset);

}  // namespace brenlow
