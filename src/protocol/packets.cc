#include "protocol/packets.h"

#include <algorithm>

namespace tarvo {

uint8_t Checksum(std::span<const uint8_t, 8> packet) {
  unsigned sum = 0;
  for (size_t i = 1; i <= 6; ++i) sum += packet[i];
  return static_cast<uint8_t>(sum);
}

CommandPacket MakeCommand(uint8_t command_code, std::array<uint8_t, 5> params) {
  CommandPacket p{kCommandLead, command_code, params[0], params[1],
                  params[2],    params[3],    params[4], 0};
  p[7] = Checksum(p);
  return p;
}

RemotePacket MakeRemotePacket(std::string_view command, uint8_t parameter) {
  RemotePacket p{0x1B, '(', 'R', 0x08, 0x00, 0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1'};
  p[13] = command.size() > 0 ? static_cast<uint8_t>(command[0]) : 0;
  p[14] = command.size() > 1 ? static_cast<uint8_t>(command[1]) : 0;
  p[15] = 0x02;
  p[16] = 0x00;
  p[17] = 0x00;
  p[18] = parameter;
  p[19] = 0x1B;
  p[20] = p[21] = p[22] = 0x00;
  return p;
}

std::string ToString(const MotorArgs& m) {
  return "M(" + std::to_string(m.motor) + "," + std::to_string(m.direction) + "," +
         std::to_string(m.speed) + "," + std::to_string(m.steps) + "," +
         std::to_string(m.position) + "," + std::to_string(m.action) + ")";
}

std::string ToString(const JobMarkArgs& j) {
  return "J(" + std::to_string(j.phase) + "," + std::to_string(j.kind) + ")";
}

CommandPacket MotorPacket(const MotorArgs& m) {
  const uint8_t motor = m.motor & 1;
  const uint8_t mode =
      static_cast<uint8_t>((motor << 5) | ((m.direction & 1) << 4) | (m.speed & 0x0F));
  const uint8_t action = motor == 1 ? 1 : (m.action & 0x0F);
  const uint8_t where = static_cast<uint8_t>(((m.position & 0x0F) << 4) | action);
  return MakeCommand(code::kMotor,
                     {mode, static_cast<uint8_t>(m.steps), static_cast<uint8_t>(m.steps >> 8),
                      static_cast<uint8_t>(m.steps >> 16), where});
}

CommandPacket JobMarkPacket(const JobMarkArgs& j) {
  return MakeCommand(code::kJobMark, {j.phase, j.kind, 0, 0, 0});
}

CommandPacket FwVersionPacket() {
  return MakeCommand(code::kFwVersion);
}
CommandPacket TemperaturePacket() {
  return MakeCommand(code::kTemperature);
}

CommandPacket PowerOffPacket(uint8_t shipment_flag) {
  return MakeCommand(code::kPowerOff, {shipment_flag, 0, 0, 0, 0});
}

CommandPacket TofPacket(int8_t tof) {
  return MakeCommand(code::kTof, {static_cast<uint8_t>(tof), 0, 0, 0, 0});
}

BiDTransfer MakeBiDTransfer(std::array<uint8_t, 4> values) {
  BiDTransfer out{};
  for (uint8_t i = 0; i < 4; ++i) {
    CommandPacket p = MakeCommand(code::kBiD, {0x41, i, values[i], 0, 0});
    std::copy(p.begin(), p.end(), out.begin() + 8 * i);
  }
  return out;
}

CommandPacket MemoryPacket(uint8_t direction, uint8_t offset, uint16_t length) {
  return MakeCommand(code::kMemory, {direction, offset, static_cast<uint8_t>(length),
                                     static_cast<uint8_t>(length >> 8), 0});
}

}  // namespace tarvo
