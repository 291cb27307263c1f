#include "core/shown_text.h"

#include <cstdio>

namespace brenlow {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0 when its first byte
// begins none (the table of well-formed byte sequences of the Unicode standard).
size_t SequenceLength(std::string_view bytes) {
  const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80)
    return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high)
    return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF)
      return 0;
  }
  return length;
}

bool IsControl(std::string_view sequence, unsigned* codePoint) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) {
    *codePoint = lead;
    return (lead < 0x20 && lead != '\t') || lead == 0x7F;
  }
  // C1: U+0080..U+009F, written C2 80..C2 9F.
  if (sequence.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(sequence[1]) <= 0x9F) {
    *codePoint = static_cast<unsigned char>(sequence[1]);
    return true;
  }
  return false;
}

template <typename Append>
std::string Decoded(std::string_view bytes, Append append) {
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = SequenceLength(bytes);
    if (length == 0) {
      text += kReplacement;
      bytes.remove_prefix(1);
      continue;
    }
    append(text, bytes.substr(0, length));
    bytes.remove_prefix(length);
  }
  return text;
}

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
  return Decoded(bytes, [](std::string& text, std::string_view sequence) { text += sequence; });
}

size_t FirstInvalidUtf8Byte(std::string_view bytes) {
  size_t position = 0;
  while (position < bytes.size()) {
    const size_t length = SequenceLength(bytes.substr(position));
    if (length == 0)
      return position;
    position += length;
  }
  return std::string_view::npos;
}

bool IsValidUtf8(std::string_view bytes) {
  return FirstInvalidUtf8Byte(bytes) == std::string_view::npos;
}

std::string ShownText(std::string_view bytes) {
  return Decoded(bytes, [](std::string& text, std::string_view sequence) {
    unsigned codePoint = 0;
    if (!IsControl(sequence, &codePoint)) {
      text += sequence;
      return;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", codePoint);
    text += escaped;
  });
}

}  // namespace brenlow
