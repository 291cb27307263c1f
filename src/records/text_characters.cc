#include "records/text_characters.h"

namespace brenlow {
namespace {

bool StartsCharacter(unsigned char byte) {
  return (byte & 0xC0) != 0x80;
}

}  // namespace

size_t CharacterCount(std::string_view utf8) {
  size_t count = 0;
  for (unsigned char byte : utf8)
    count += StartsCharacter(byte) ? 1 : 0;
  return count;
}

size_t Utf16Length(std::string_view utf8) {
  size_t units = 0;
  for (unsigned char byte : utf8) {
    if (StartsCharacter(byte))
      units += byte >= 0xF0 ? 2 : 1;  // four-byte sequences lie beyond U+FFFF: a surrogate pair
  }
  return units;
}

std::string CutCharacters(std::string_view utf8, int limit) {
  int count = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (StartsCharacter(static_cast<unsigned char>(utf8[i])) && count++ == limit)
      return std::string(utf8.substr(0, i));
  }
  return std::string(utf8);
}

std::string QuotedForMessage(std::string_view utf8) {
  constexpr int kQuotedCharacters = 60;
  std::string cut = CutCharacters(utf8, kQuotedCharacters);
  return "\"" + cut + (cut.size() < utf8.size() ? "…" : "") + "\"";
}

}  // namespace brenlow
