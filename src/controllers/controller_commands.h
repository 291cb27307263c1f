// The command datagrams the server sends to a classroom: to the central controller (power on,
// power off) and to the shut-down agent of the classroom PC. Classroom devices in the field
// depend on these exact bytes and ports. Nothing is ever received in reply.
#pragma once

#include <array>
#include <cstdint>

namespace brenlow {

// Controller command datagram, 8 bytes:
//   offset 0, 1 byte: 0xEB
//   offset 1, 1 byte: 0x00
//   offset 2, 1 byte: 0x01
//   offset 3, 1 byte: 0x01 for the scheduled commands, 0x00 for the card-swipe power off
//   offset 4, 1 byte: 0x00
//   offset 5, 1 byte: action, 0xA0 power on, 0xA1 power off
//   offset 6, 1 byte: 0x07
//   offset 7, 1 byte: 0xED
using ControllerCommand = std::array<uint8_t, 8>;

// EB 00 01 01 00 A0 07 ED: the scheduler's and the card swipe's power on.
ControllerCommand PowerOnCommand();
// EB 00 01 01 00 A1 07 ED: the scheduler's power off at a period's end.
ControllerCommand PowerOffCommand();
// EB 00 01 00 00 A1 07 ED: the power off after three quick card swipes.
ControllerCommand CardPowerOffCommand();

// PC shut-down datagram: the 7 ASCII bytes "shutdow", no terminating zero.
using PcShutdownCommand = std::array<uint8_t, 7>;
PcShutdownCommand PcShutdownDatagram();

}  // namespace brenlow
