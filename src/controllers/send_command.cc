#include "controllers/send_command.h"

#include "controllers/command_log.h"
#include "events/event_log.h"
#include "net/socket.h"

namespace brenlow {

bool SendCommand(const Socket& socket, const char* name, const std::string& className,
                 const std::string& host, uint16_t port, std::span<const uint8_t> bytes,
                 const std::string& reason) {
  std::string error;
  const long sent = socket.sendTo(host, port, bytes.data(), bytes.size(), &error);
  const bool whole = sent == static_cast<long>(bytes.size());
  if (!whole && sent >= 0)
    error = "sent " + std::to_string(sent) + " of " + std::to_string(bytes.size()) + " bytes";
  const std::string failure = whole ? std::string() : error;
  LogCommand(name, className, host, port, reason, failure);
  RecordEvent(CommandEvent(className, host, port, name, reason, failure));
  return whole;
}

bool SendCommand(const char* name, const std::string& className, const std::string& host,
                 uint16_t port, std::span<const uint8_t> bytes, const std::string& reason) {
  std::string error;
  Socket socket = Socket::BindUdp("", 0, &error);
  if (!socket.isOpen()) {
    LogCommand(name, className, host, port, reason, error);
    RecordEvent(CommandEvent(className, host, port, name, reason, error));
    return false;
  }
  return SendCommand(socket, name, className, host, port, bytes, reason);
}

}  // namespace brenlow
