#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/context.h"
#include "link/printer_link.h"
#include "protocol/packets.h"

namespace tarvo {

// The one-command operations. Each writes on the link's write pipe and, where the printer
// answers, reads the reply with ReadReply. Failures are told to the operator here, in the
// edition's words, before the operation returns.

// The shared failure texts of this layer.
inline constexpr std::string_view kWriteCommandError = "Write MELoadFile Command Error !!";
inline constexpr std::string_view kReadCommandError = "Read MELoadFile Command Error !!";
inline constexpr std::string_view kWriteCaption = "WriteFileX";
inline constexpr std::string_view kReadCaption = "ReadFileX";

// Writes one command; on failure shows the write error. Returns whether the write went through.
bool WriteCommand(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet);

// The "ST" remote packet some reads are preceded by (every caller passes 0). A failed write is
// told and then ignored, as the printer may answer without it.
void SendRemotePreamble(const Context& ctx, PrinterLink& link, uint8_t parameter = 0);
// Sends the remote preamble when the context's edition places it at `stage` of `exchange`. Every
// read that may be preceded by it calls this at each of its stages.
void PreambleAt(const Context& ctx, PrinterLink& link, ReadExchange exchange, ExchangeStage stage);
// Any remote command ("CH" for cleaning). Returns whether the write went through.
bool SendRemoteCommand(const Context& ctx, PrinterLink& link, std::string_view command,
                       uint8_t parameter);

// J(phase, kind). Returns whether the write went through; callers running a fixed sequence go
// on regardless.
bool SendJobMark(const Context& ctx, PrinterLink& link, uint8_t phase, uint8_t kind);
inline bool SendJobMark(const Context& ctx, PrinterLink& link, const JobMarkArgs& j) {
  return SendJobMark(ctx, link, j.phase, j.kind);
}

// M(motor, direction, speed, steps, position, action). Returns whether the write went through.
bool SendMotorCommand(const Context& ctx, PrinterLink& link, const MotorArgs& m);

// "T": the head temperature byte (0-255), or -1 on failure.
int ReadTemperature(const Context& ctx, PrinterLink& link);
// J(0,0), ReadTemperature, J(1,0).
int ReadTemperatureBegin(const Context& ctx, PrinterLink& link);

// "F": the running firmware's version, four characters, or nothing on failure.
std::optional<std::string> ReadFWVersion(const Context& ctx, PrinterLink& link);

// "F" without a preamble: the four version bytes with the first in the lowest byte.
std::optional<uint32_t> ReadRamFWPtr(const Context& ctx, PrinterLink& link);

// "p": switches the printer off, storing its shipment data when `shipment_flag` is 1. Returns
// whether the command went out.
bool PowerOff(const Context& ctx, PrinterLink& link, uint8_t shipment_flag);

}  // namespace tarvo
