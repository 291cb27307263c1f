#include "controllers/controller_commands.h"

#include "net/socket.h"

namespace brenlow {

ControllerCommand PowerOnCommand() {
  return {0xEB, 0x00, 0x01, 0x01, 0x00, 0xA0, 0x07, 0xED};
}

ControllerCommand PowerOffCommand() {
  return {0xEB, 0x00, 0x01, 0x01, 0x00, 0xA1, 0x07, 0xED};
}

ControllerCommand CardPowerOffCommand() {
  return {0xEB, 0x00, 0x01, 0x00, 0x00, 0xA1, 0x07, 0xED};
}

PcShutdownCommand PcShutdownDatagram() {
  return {'s', 'h', 'u', 't', 'd', 'o', 'w'};
}

bool SendDatagramOnce(const std::string& host, uint16_t port, std::span<const uint8_t> bytes,
                      std::string* error) {
  Socket socket = Socket::BindUdp("", 0, error);
  if (!socket.isOpen())
    return false;
  long sent = socket.sendTo(host, port, bytes.data(), bytes.size(), error);
  if (sent == static_cast<long>(bytes.size()))
    return true;
  if (sent >= 0 && error)
    *error = "sent " + std::to_string(sent) + " of " + std::to_string(bytes.size()) + " bytes";
  return false;
}

}  // namespace brenlow
