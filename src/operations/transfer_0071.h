#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/device_state.h"
#include "model/rom_layout.h"

namespace tarvo {

// ROM data files of firmware "0071" hold 124 bytes: the same fields as today's image, but the
// five counters as 64-bit floats, and nothing after FtFlag.
inline constexpr size_t kOldRomFileSize = 124;

// A 64-bit counter as the 32-bit float the image holds: rounded to nearest, a value beyond the
// 32-bit range becomes an infinity of its sign.
float NarrowCounter(double value);

// Today's image from an old file: every field converted from its old place, the unnamed bytes
// 0x67-0x6D and 0x70-0x79 cleared, UnplugAccumulation, TclCondition, 0x7A and 0x7C-0x7F taken
// from `current`, and FwVersion set to `fw_version` (padded with zero bytes).
RomImage ConvertRomData0071(std::span<const uint8_t, kOldRomFileSize> old, const RomImage& current,
                            std::string_view fw_version);

// What Transferflag tells when the printer did not take the converted image.
inline constexpr std::string_view kTransferFailure = "Transfer Data Fail !!";
inline constexpr std::string_view kTransferCaption = "Transfer";

// Asks for an old ROM data file, converts it, keeps the result as the current image and writes it
// into the printer with a read-back of every byte but FwVersion. A file that cannot be read, is
// no regular file or holds other than 124 bytes sends nothing ("Open File Error !!", with its
// name and what is wrong when a file was there); a failed version
// query or a write that does not verify is told as kTransferFailure, and after a failed query
// nothing is written and the current image is kept.
Outcome Transferflag(const Context& ctx, PrinterLink& link, DeviceState& state);

}  // namespace tarvo
