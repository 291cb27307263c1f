#include "data/database_error.h"

#include <cstdio>

namespace brenlow {

DatabaseError::DatabaseError(uint32_t code)
    : std::runtime_error(FailureText(code, "")), code_(code) {}

std::string FailureText(uint32_t code, const std::string& storeMessage) {
  std::string text = storeMessage;
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) {
    text.resize(text.size() - 2);
  } else if (!text.empty() && text.back() == '\n') {
    text.pop_back();
  }
  if (!text.empty()) {
    return text;
  }
  char buffer[64];
  if (code >= 0x80040200u && code <= 0x8004FFFFu) {
    std::snprintf(buffer, sizeof buffer, "IDispatch error #%d",
                  static_cast<int>(code - 0x80040200u));
  } else {
    std::snprintf(buffer, sizeof buffer, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
  }
  return buffer;
}

}  // namespace brenlow
