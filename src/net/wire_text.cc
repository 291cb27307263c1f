#include "net/wire_text.h"

#include <algorithm>

namespace brenlow {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Decodes one UTF-8 sequence at text[*i], advancing *i; malformed input yields U+FFFD and
// consumes one byte, so decoding always moves on.
char32_t NextCodePoint(std::string_view text, size_t* i) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(*i);
  if (lead < 0x80) {
    ++*i;
    return lead;
  }
  size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++*i;
    return kReplacement;
  }
  if (*i + length > text.size()) {
    ++*i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(*i + k) & 0xC0) != 0x80) {
      ++*i;
      return kReplacement;
    }
    value = (value << 6) | (byte(*i + k) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++*i;
    return kReplacement;
  }
  *i += length;
  return value;
}

void AppendUtf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t value = NextCodePoint(text, &i);
    if (value >= 0x10000) {
      value -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (value >> 10));
      out += static_cast<char16_t>(0xDC00 + (value & 0x3FF));
    } else {
      out += static_cast<char16_t>(value);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string CutToCodeUnits(std::u16string_view text, size_t maxUnits) {
  if (text.size() <= maxUnits)
    return std::u16string(text);
  size_t length = maxUnits;
  if (length > 0 && IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length]))
    --length;
  return std::u16string(text.substr(0, length));
}

std::string Utf16LeBytes(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

void PutUtf16Field(std::string& record, size_t offset, size_t width, std::string_view utf8,
                   size_t maxUnits) {
  // Written in place, code unit by code unit: every reply record passes through here.
  const size_t room = std::min(width / 2 - 1, maxUnits);
  char* field = record.data() + offset;
  std::fill_n(field, width, '\0');
  size_t units = 0;
  auto put = [&](char32_t unit) {
    field[2 * units] = static_cast<char>(unit & 0xFF);
    field[2 * units + 1] = static_cast<char>((unit >> 8) & 0xFF);
    ++units;
  };
  for (size_t i = 0; i < utf8.size();) {
    char32_t value = NextCodePoint(utf8, &i);
    if (value < 0x10000) {
      if (units + 1 > room)
        break;
      put(value);
    } else {
      if (units + 2 > room)
        break;  // a pair that does not fit is left out whole
      value -= 0x10000;
      put(0xD800 + (value >> 10));
      put(0xDC00 + (value & 0x3FF));
    }
  }
}

std::string GetUtf16Field(std::string_view record, size_t offset, size_t width) {
  std::u16string text;
  for (size_t i = offset; i + 1 < offset + width && i + 1 < record.size(); i += 2) {
    auto unit = static_cast<char16_t>(static_cast<unsigned char>(record[i]) |
                                      (static_cast<unsigned char>(record[i + 1]) << 8));
    if (unit == 0)
      break;
    text += unit;
  }
  return Utf16ToUtf8(text);
}

void PutNarrowField(std::string& record, size_t offset, size_t width, std::string_view text) {
  std::string_view cut = text.substr(0, std::min(text.size(), width - 1));
  std::fill_n(record.begin() + static_cast<std::ptrdiff_t>(offset), width, '\0');
  std::copy(cut.begin(), cut.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::string GetNarrowField(std::string_view record, size_t offset, size_t width) {
  if (offset >= record.size())
    return std::string();
  std::string_view field = record.substr(offset, width);
  return std::string(field.substr(0, field.find('\0')));
}

void PutInt32Le(std::string& record, size_t offset, int32_t value) {
  auto bits = static_cast<uint32_t>(value);
  for (size_t k = 0; k < 4; ++k)
    record[offset + k] = static_cast<char>((bits >> (8 * k)) & 0xFF);
}

int32_t GetInt32Le(std::string_view record, size_t offset) {
  uint32_t bits = 0;
  for (size_t k = 0; k < 4; ++k) {
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(record[offset + k])) << (8 * k);
  }
  return static_cast<int32_t>(bits);
}

}  // namespace brenlow
