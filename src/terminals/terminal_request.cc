#include "terminals/terminal_request.h"

#include "net/wire_text.h"

namespace brenlow {

std::optional<TerminalRequest> ParseTerminalRequest(std::string_view bytes) {
  if (bytes.size() < kTerminalRequestSize)
    return std::nullopt;
  TerminalRequest request;
  for (size_t slot = 0; slot < kAddressSlotCount; ++slot) {
    request.slots[slot] = GetNarrowField(bytes, slot * kAddressSlotWidth, kAddressSlotWidth);
  }
  request.kind = GetInt32Le(bytes, kRequestKindOffset);
  return request;
}

std::string RequestKey(const TerminalRequest& request) {
  std::string key(4, '\0');
  PutInt32Le(key, 0, request.kind);
  for (const std::string& slot : request.slots) {
    key += slot;
    key += '\0';  // a slot's text never holds a zero byte
  }
  return key;
}

std::string TerminalRequestBytes(const TerminalRequest& request) {
  std::string bytes(kTerminalRequestSize, '\0');
  for (size_t slot = 0; slot < kAddressSlotCount; ++slot) {
    PutNarrowField(bytes, slot * kAddressSlotWidth, kAddressSlotWidth, request.slots[slot]);
  }
  PutInt32Le(bytes, kRequestKindOffset, request.kind);
  return bytes;
}

}  // namespace brenlow
