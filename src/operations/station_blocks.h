#pragma once

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/station_data.h"

namespace tarvo {

// The head data block operations on the station's run-time data, as each edition keeps its
// blocks: the program writes the working block and reads back into the read block; the library
// writes a block of its own, loaded from the working block (the host's), and hands what it
// wrote back in the working block.

// SetHeadID on the station's blocks (after a cancel the working block is unchanged in the
// library); ResultCode() is the station's 1 written, 0 not verified, 2 cancelled.
Outcome SetHeadIDOnStation(const Context& ctx, PrinterLink& link, StationData& station);

}  // namespace tarvo
