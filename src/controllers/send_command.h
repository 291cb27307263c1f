// Sending one command datagram to a classroom device, writing its line to the command log
// (command_log.h) and recording it as an event (events/event_log.h). A command succeeds when its
// whole datagram was sent; anything less (a failed send, or a short one, which a UDP socket does
// not make in practice) is logged as a failure with its reason. Nothing is ever received in reply,
// and a failed command is not retried. Any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brenlow {

class Socket;

// Sends bytes from socket to host:port (the address text as the class record holds it; the
// empty text means this computer) and logs the command called name for the class with reason.
// True when the whole datagram was sent.
bool SendCommand(const Socket& socket, const char* name, const std::string& className,
                 const std::string& host, uint16_t port, std::span<const uint8_t> bytes,
                 const std::string& reason);

// The same from a socket of its own on an ephemeral port, closed afterwards; a socket that
// cannot be made fails the command.
bool SendCommand(const char* name, const std::string& className, const std::string& host,
                 uint16_t port, std::span<const uint8_t> bytes, const std::string& reason);

}  // namespace brenlow
