// DatabaseError: the failure that reading through a RecordSet raises. It carries a 32-bit
// failure code: one of the k* codes below for the cursor's own failures, or SQLite's extended
// result code. Every operation that reads catches it at its own top (one dialog action, one
// request, one datagram, one tick) and ends quietly; nothing lets it end the program.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace brenlow {

// An operation on an invalid (failed or closed) RecordSet: an empty handle.
inline constexpr uint32_t kInvalidHandleCode = 0x80004003;
// A NULL value has no text.
inline constexpr uint32_t kTypeMismatchCode = 0x80020005;
// Reading or moving while the cursor stands behind the last row.
inline constexpr uint32_t kNoCurrentRowCode = 0x800A0BCD;
// A column name the row does not have.
inline constexpr uint32_t kNoSuchColumnCode = 0x800A0CC1;

class DatabaseError : public std::runtime_error {
 public:
  explicit DatabaseError(uint32_t code);
  uint32_t code() const { return code_; }

 private:
  uint32_t code_;
};

// The text shown for a failure: the store's own message for the failing call with one trailing
// line break removed; for a code without text, "IDispatch error #%d" (code minus 0x80040200) for
// codes 0x80040200 to 0x8004FFFF and "Unknown error 0x%0lX" for any other.
std::string FailureText(uint32_t code, const std::string& storeMessage);

}  // namespace brenlow
