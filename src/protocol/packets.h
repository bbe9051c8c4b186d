#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// The printer's maintenance commands ("MELoadFile" commands) as bytes. Pure encoders: nothing
// here touches the printer.

// 0x1C, command code, five parameters, checksum (sum of bytes 1..6, low 8 bits).
using CommandPacket = std::array<uint8_t, 8>;
// ESC ( R ... "REMOTE1" and a two-letter command with one parameter.
using RemotePacket = std::array<uint8_t, 23>;
// Four Bi-d value packets written as one transfer.
using BiDTransfer = std::array<uint8_t, 32>;

inline constexpr uint8_t kCommandLead = 0x1C;

namespace code {
inline constexpr uint8_t kMemory = 0x81;
inline constexpr uint8_t kFwVersion = 0x46;    // 'F'
inline constexpr uint8_t kTemperature = 0x54;  // 'T'
inline constexpr uint8_t kJobMark = 0x4A;      // 'J'
inline constexpr uint8_t kMotor = 0x4D;        // 'M'
inline constexpr uint8_t kPowerOff = 0x70;     // 'p'
inline constexpr uint8_t kTof = 0x91;
inline constexpr uint8_t kBiD = 0x44;  // 'D'
}  // namespace code

// Sum of bytes 1 to 6 of a command packet, modulo 256.
uint8_t Checksum(std::span<const uint8_t, 8> packet);
CommandPacket MakeCommand(uint8_t command_code, std::array<uint8_t, 5> params = {});

// `command` is two letters: "ST" (the preamble some reads need) or "CH" (cleaning).
RemotePacket MakeRemotePacket(std::string_view command, uint8_t parameter);

// Motor command arguments, written M(motor, direction, speed, steps, position, action):
//   motor 0 CR, 1 PF; direction 0 CW, 1 CCW; speed mode 0-15; steps 24 bits;
//   position 0 C, 1 CL, 2 R, 3 L, 4 B, 5 D, 6 NULL;
//   action 0 HOME, 1 MoveOnly, 2 Spit, 3 Lock, 4 Unlock, 5 Hold, 6 Release.
struct MotorArgs {
  uint8_t motor = 0;
  uint8_t direction = 0;
  uint8_t speed = 0;
  uint32_t steps = 0;
  uint8_t position = 0;
  uint8_t action = 0;
  friend bool operator==(const MotorArgs&, const MotorArgs&) = default;
};

// Job mark arguments J(phase, kind): phase 0 opens and 1 closes a sequence of motor commands or
// queries; kind 1 marks the opening before a chart print.
struct JobMarkArgs {
  uint8_t phase = 0;
  uint8_t kind = 0;
  friend bool operator==(const JobMarkArgs&, const JobMarkArgs&) = default;
};

constexpr MotorArgs M(uint8_t motor, uint8_t direction, uint8_t speed, uint32_t steps,
                      uint8_t position, uint8_t action) {
  return {motor, direction, speed, steps, position, action};
}
constexpr JobMarkArgs J(uint8_t phase, uint8_t kind) {
  return {phase, kind};
}

// "M(0,1,6,2,6,1)" and "J(0,0)", the notation the sequences are written in.
std::string ToString(const MotorArgs& m);
std::string ToString(const JobMarkArgs& j);

// Byte 2: bit 5 motor, bit 4 direction, bits 0-3 speed. Bytes 3-5: steps, LSB first. Byte 6:
// bits 4-7 position, bits 0-3 action; the PF motor only ever moves, so its action bits are 1
// whatever was asked. Out-of-range arguments are masked to their bit fields.
CommandPacket MotorPacket(const MotorArgs& m);
CommandPacket JobMarkPacket(const JobMarkArgs& j);

CommandPacket FwVersionPacket();
CommandPacket TemperaturePacket();
// Shipment flag: 0 "Not Set shipment data", 1 "Set shipment data".
CommandPacket PowerOffPacket(uint8_t shipment_flag);
// The new TofAdjust as a signed byte: -2 goes out as 0xFE.
CommandPacket TofPacket(int8_t tof);
// 1C 44 41 index value 00 00 checksum for index 0..3, back to back.
BiDTransfer MakeBiDTransfer(std::array<uint8_t, 4> values);

// EEPROM access: direction 0 read, 1 write; start offset; 16-bit length.
inline constexpr uint8_t kMemoryRead = 0;
inline constexpr uint8_t kMemoryWrite = 1;
CommandPacket MemoryPacket(uint8_t direction, uint8_t offset, uint16_t length);

}  // namespace tarvo
