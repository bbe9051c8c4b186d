#include "protocol/commands.h"

#include <array>

namespace tarvo {
namespace {

bool ReadEight(const Context& ctx, PrinterLink& link, std::array<uint8_t, 8>& reply,
               std::string_view error) {
  if (link.ReadReply(reply)) return true;
  ctx.Error(error, kReadCaption);
  return false;
}

}  // namespace

bool WriteCommand(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet) {
  if (link.TimedWrite(packet)) return true;
  ctx.Error(kWriteCommandError, kWriteCaption);
  return false;
}

void SendRemotePreamble(const Context& ctx, PrinterLink& link, uint8_t parameter) {
  SendRemoteCommand(ctx, link, "ST", parameter);
}

void PreambleAt(const Context& ctx, PrinterLink& link, ReadExchange exchange, ExchangeStage stage) {
  if (ctx.edition.preamble(exchange).at(stage)) SendRemotePreamble(ctx, link);
}

bool SendRemoteCommand(const Context& ctx, PrinterLink& link, std::string_view command,
                       uint8_t parameter) {
  return WriteCommand(ctx, link, MakeRemotePacket(command, parameter));
}

bool SendJobMark(const Context& ctx, PrinterLink& link, uint8_t phase, uint8_t kind) {
  return WriteCommand(ctx, link, JobMarkPacket(J(phase, kind)));
}

bool SendMotorCommand(const Context& ctx, PrinterLink& link, const MotorArgs& m) {
  return WriteCommand(ctx, link, MotorPacket(m));
}

int ReadTemperature(const Context& ctx, PrinterLink& link) {
  PreambleAt(ctx, link, ReadExchange::kTemperature, ExchangeStage::kBeforeCommand);
  if (!WriteCommand(ctx, link, TemperaturePacket())) return -1;
  PreambleAt(ctx, link, ReadExchange::kTemperature, ExchangeStage::kAfterCommand);
  std::array<uint8_t, 8> reply{};
  if (!ReadEight(ctx, link, reply, kReadCommandError)) return -1;
  return reply[2];
}

int ReadTemperatureBegin(const Context& ctx, PrinterLink& link) {
  SendJobMark(ctx, link, 0, 0);
  int temperature = ReadTemperature(ctx, link);
  SendJobMark(ctx, link, 1, 0);
  return temperature;
}

std::optional<std::string> ReadFWVersion(const Context& ctx, PrinterLink& link) {
  PreambleAt(ctx, link, ReadExchange::kFwVersion, ExchangeStage::kBeforeCommand);
  if (!WriteCommand(ctx, link, FwVersionPacket())) return std::nullopt;
  PreambleAt(ctx, link, ReadExchange::kFwVersion, ExchangeStage::kAfterCommand);
  std::array<uint8_t, 8> reply{};
  if (!ReadEight(ctx, link, reply, kReadCommandError)) return std::nullopt;
  return std::string(reply.begin() + 2, reply.begin() + 6);
}

std::optional<uint32_t> ReadRamFWPtr(const Context& ctx, PrinterLink& link) {
  if (!link.TimedWrite(FwVersionPacket())) {
    ctx.Error(ctx.Text({kWriteCommandError, "MELoadFile Command 寫入失敗!!"}), kWriteCaption);
    return std::nullopt;
  }
  std::array<uint8_t, 8> reply{};
  if (!ReadEight(ctx, link, reply,
                 ctx.Text({kReadCommandError, "MELoadFile Command 讀取失敗!!"}))) {
    return std::nullopt;
  }
  return uint32_t{reply[2]} | uint32_t{reply[3]} << 8 | uint32_t{reply[4]} << 16 |
         uint32_t{reply[5]} << 24;
}

bool PowerOff(const Context& ctx, PrinterLink& link, uint8_t shipment_flag) {
  return WriteCommand(ctx, link, PowerOffPacket(shipment_flag));
}

}  // namespace tarvo
