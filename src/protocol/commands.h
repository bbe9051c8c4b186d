#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "protocol/packets.h"

namespace tarvo {

// The one-command operations. Each writes on the link's write pipe and, where the printer
// answers, reads the reply with ReadReply. Failures are told to the operator here, in the
// edition's words, before the operation returns; the Outcome carries the same words. What a read
// gets goes into the destination the caller passes, which is written only when the read worked.

// The shared failure texts of this layer.
inline constexpr std::string_view kWriteCommandError = "Write MELoadFile Command Error !!";
inline constexpr std::string_view kReadCommandError = "Read MELoadFile Command Error !!";
inline constexpr std::string_view kWriteCaption = "WriteFileX";
inline constexpr std::string_view kReadCaption = "ReadFileX";

// Writes one transfer; on failure shows `error` under the write caption.
Outcome WriteTold(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet,
                  std::string_view error);
// Writes one command; on failure shows the write error.
Outcome WriteCommand(const Context& ctx, PrinterLink& link, std::span<const uint8_t> packet);
// Reads one reply into `dest`; on failure shows `error` under the read caption.
Outcome ReadTold(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest,
                 std::string_view error);

// The "ST" remote packet some reads are preceded by (every caller passes 0). A failed write is
// told; the callers pass it over, as the printer may answer without it.
Outcome SendRemotePreamble(const Context& ctx, PrinterLink& link, uint8_t parameter = 0);
// Sends the remote preamble when the context's edition places it at `stage` of `exchange`. Every
// read that may be preceded by it calls this at each of its stages and passes a failure over.
Outcome PreambleAt(const Context& ctx, PrinterLink& link, ReadExchange exchange,
                   ExchangeStage stage);
// Any remote command ("CH" for cleaning).
Outcome SendRemoteCommand(const Context& ctx, PrinterLink& link, std::string_view command,
                          uint8_t parameter);

// J(phase, kind). Callers running a fixed sequence go on past a failure.
Outcome SendJobMark(const Context& ctx, PrinterLink& link, uint8_t phase, uint8_t kind);
inline Outcome SendJobMark(const Context& ctx, PrinterLink& link, const JobMarkArgs& j) {
  return SendJobMark(ctx, link, j.phase, j.kind);
}

// M(motor, direction, speed, steps, position, action).
Outcome SendMotorCommand(const Context& ctx, PrinterLink& link, const MotorArgs& m);

// "T": the head temperature byte (0-255).
Outcome ReadTemperature(const Context& ctx, PrinterLink& link, int& temperature);
// J(0,0), ReadTemperature, J(1,0). A failed job mark is passed over.
Outcome ReadTemperatureBegin(const Context& ctx, PrinterLink& link, int& temperature);

// "F": the running firmware's version, four characters.
Outcome ReadFWVersion(const Context& ctx, PrinterLink& link, std::string& version);

// "F" without a preamble: the four version bytes with the first in the lowest byte.
Outcome ReadRamFWPtr(const Context& ctx, PrinterLink& link, uint32_t& value);

// "p": switches the printer off, storing its shipment data when `shipment_flag` is 1.
Outcome PowerOff(const Context& ctx, PrinterLink& link, uint8_t shipment_flag);

}  // namespace tarvo
