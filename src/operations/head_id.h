#pragma once

#include <cstdint>
#include <span>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// Stores a new print head's identity: asks for the head ID ("Input Head ID") with the carriage
// moved aside, fills `write_block` with the production time stamp, the ID and the line's initial
// alignment offsets, writes and verifies it (the read-back goes into `read_block`), applies the
// ink system values to the image, and parks the carriage again.
//
// The program passes its working and read blocks. The library passes its own two blocks and the
// host's block as `host_block`: that is copied into `write_block` first and receives what was
// written at the end; after a cancel it is left unchanged.
//
// Done when the block and (unless "disableink" says otherwise) the ink system values were written
// and verified; kVerifyFailed under the "Write EEPROM Error !!" text when either was not;
// kCancelled when the dialog was not confirmed. Failed motor moves and the first read are passed
// over, so ResultCode() gives the station's codes: 1 written, 0 not verified, 2 cancelled.
Outcome SetHeadID(const Context& ctx, PrinterLink& link, HeadBlock& write_block,
                  HeadBlock& read_block, HeadBlock* host_block = nullptr);

// Writes the "unplugA" and "tclCond" settings into the printer's image, whatever "disableink"
// holds. Done when they were written and verified.
Outcome SetInkSystemValue(const Context& ctx, PrinterLink& link);

}  // namespace tarvo
