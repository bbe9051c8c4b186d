#include "protocol/commands.h"

#include <array>

namespace tarvo {

Outcome WriteTold(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet,
                  std::string_view error) {
  if (link.TimedWrite(packet)) return Outcome::Done();
  ctx.Error(error, kWriteCaption);
  return Outcome::TransferFailed(std::string(error));
}

Outcome WriteCommand(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet) {
  return WriteTold(ctx, link, packet, kWriteCommandError);
}

Outcome ReadTold(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest,
                 std::string_view error) {
  if (link.ReadReply(dest)) return Outcome::Done();
  ctx.Error(error, kReadCaption);
  return Outcome::TransferFailed(std::string(error));
}

Outcome SendRemotePreamble(const Context& ctx, PrinterLink& link, uint8_t parameter) {
  return SendRemoteCommand(ctx, link, "ST", parameter);
}

Outcome PreambleAt(const Context& ctx, PrinterLink& link, ReadExchange exchange,
                   ExchangeStage stage) {
  if (!ctx.edition.preamble(exchange).at(stage)) return Outcome::Done();
  return SendRemotePreamble(ctx, link);
}

Outcome SendRemoteCommand(const Context& ctx, PrinterLink& link, std::string_view command,
                          uint8_t parameter) {
  return WriteCommand(ctx, link, MakeRemotePacket(command, parameter));
}

Outcome SendJobMark(const Context& ctx, PrinterLink& link, uint8_t phase, uint8_t kind) {
  return WriteCommand(ctx, link, JobMarkPacket(J(phase, kind)));
}

Outcome SendMotorCommand(const Context& ctx, PrinterLink& link, const MotorArgs& m) {
  return WriteCommand(ctx, link, MotorPacket(m));
}

Outcome ReadTemperature(const Context& ctx, PrinterLink& link, int& temperature) {
  constexpr ReadExchange kExchange = ReadExchange::kTemperature;
  Outcome passed;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand));
  if (Outcome sent = WriteCommand(ctx, link, TemperaturePacket()); !sent) return sent;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand));
  std::array<uint8_t, 8> reply{};
  if (Outcome read = ReadTold(ctx, link, reply, kReadCommandError); !read) return read;
  temperature = reply[2];
  return passed;
}

Outcome ReadTemperatureBegin(const Context& ctx, PrinterLink& link, int& temperature) {
  Outcome passed;
  passed.PassOver(SendJobMark(ctx, link, 0, 0));
  Outcome read = ReadTemperature(ctx, link, temperature);
  passed.PassOver(SendJobMark(ctx, link, 1, 0));
  return passed.Then(read);
}

Outcome ReadFWVersion(const Context& ctx, PrinterLink& link, std::string& version) {
  constexpr ReadExchange kExchange = ReadExchange::kFwVersion;
  Outcome passed;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kBeforeCommand));
  if (Outcome sent = WriteCommand(ctx, link, FwVersionPacket()); !sent) return sent;
  passed.PassOver(PreambleAt(ctx, link, kExchange, ExchangeStage::kAfterCommand));
  std::array<uint8_t, 8> reply{};
  if (Outcome read = ReadTold(ctx, link, reply, kReadCommandError); !read) return read;
  version.assign(reply.begin() + 2, reply.begin() + 6);
  return passed;
}

Outcome ReadRamFWPtr(const Context& ctx, PrinterLink& link, uint32_t& value) {
  if (Outcome sent = WriteTold(ctx, link, FwVersionPacket(),
                               ctx.Text({kWriteCommandError, "MELoadFile Command 寫入失敗!!"}));
      !sent) {
    return sent;
  }
  std::array<uint8_t, 8> reply{};
  if (Outcome read = ReadTold(ctx, link, reply,
                              ctx.Text({kReadCommandError, "MELoadFile Command 讀取失敗!!"}));
      !read) {
    return read;
  }
  value = uint32_t{reply[2]} | uint32_t{reply[3]} << 8 | uint32_t{reply[4]} << 16 |
          uint32_t{reply[5]} << 24;
  return Outcome::Done();
}

Outcome PowerOff(const Context& ctx, PrinterLink& link, uint8_t shipment_flag) {
  return WriteCommand(ctx, link, PowerOffPacket(shipment_flag));
}

}  // namespace tarvo
