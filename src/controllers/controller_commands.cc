#include "controllers/controller_commands.h"

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

}  // namespace brenlow
