#pragma once

#include <cstdint>
#include <span>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// Results of SetHeadID.
inline constexpr int kHeadIdNotVerified = 0;
inline constexpr int kHeadIdWritten = 1;
inline constexpr int kHeadIdCancelled = 2;

// Stores a new print head's identity: asks for the head ID ("Input Head ID") with the carriage
// moved aside, fills `write_block` with the production time stamp, the ID and the line's initial
// alignment offsets, writes and verifies it (the read-back goes into `read_block`), applies the
// ink system values to the image, and parks the carriage again.
//
// The program passes its working and read blocks. The library passes its own two blocks and the
// host's block as `host_block`: that is copied into `write_block` first and receives what was
// written at the end; after a cancel it is left unchanged.
//
// Returns kHeadIdWritten, kHeadIdNotVerified or kHeadIdCancelled.
int SetHeadID(const Context& ctx, PrinterLink& link, HeadBlock& write_block, HeadBlock& read_block,
              HeadBlock* host_block = nullptr);

// Writes the "unplugA" and "tclCond" settings into the printer's image, whatever "disableink"
// holds. False when the image could not be read.
bool SetInkSystemValue(const Context& ctx, PrinterLink& link);

}  // namespace tarvo
