// Talking to the real program's terminal ports from a test: connecting once its loops listen,
// and the requests the fault tests send. Header-only, for test programs that link the terminal
// client (brenlow_terminal_client).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "net/ports.h"
#include "support/wait_for.h"
#include "terminals/client_records.h"
#include "terminals/terminal_request.h"
#include "tools/terminal/terminal_client.h"

namespace brenlow::testing {

// A connection to 127.0.0.1:port, made as soon as the program's loop listens (its loops start
// a moment after the program). Closed when the port is not served in time (kEventTimeout).
inline TerminalConnection ConnectWhenServed(uint16_t port) {
  TerminalConnection connection;
  std::string error;
  if (!WaitFor([&] { return connection.connect("127.0.0.1", port, &error); }))
    ADD_FAILURE() << "port " << port << " not served: " << error;
  return connection;
}

// A 100-byte request of kind from a terminal whose first slot holds macAddress.
inline std::string RequestBytes(int32_t kind, const std::string& macAddress) {
  TerminalRequest request;
  request.slots[0] = macAddress;
  request.kind = kind;
  return TerminalRequestBytes(request);
}

// The reply to a teacher list request when the store holds one teacher.
inline constexpr size_t kOneTeacherListSize = kTeacherNameRecordSize + kEndRecordSize;

}  // namespace brenlow::testing
