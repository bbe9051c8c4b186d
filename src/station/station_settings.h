#pragma once

#include <cstdint>
#include <span>

#include "base/context.h"
#include "base/outcome.h"
#include "model/chart_label.h"
#include "model/rom_layout.h"
#include "station/station_files.h"

namespace tarvo::station {

// Tells the operator (caption "ERROR", in the edition's words) what is wrong with the settings
// file `name` of `size` bytes; returns the outcome of the step that needed it. Nothing is told,
// and Done returned, for a sound file.
Outcome TellStationFileFault(const Context& ctx, std::string_view name, size_t size,
                             const StationFileFault& fault);

// Load Station 1 settings: fills bytes 0-7, 33 and 39 of `block` from "1.data" (creating it when
// missing): the destination's three-character code, the Belt Name, the PC Name, and the row's
// ModelNumber and PageSize. Other bytes are left as they are. A file that is no regular file of
// 6 bytes, or a destination index outside the table, is told to the operator (caption "ERROR")
// naming the file and what is wrong, and `block` is left untouched.
Outcome LoadStation1Settings(const Context& ctx, const StationFiles& files,
                             std::span<uint8_t, kHeadBlockSize> block);

// Check the customer against Station 2 settings: the code of the "2.data" row must be the model
// code the printer got at Station 1 (read block bytes 0-2). On a match the Jig No. or "CT" of
// "2.data" goes into chart label record's Jig No. A mismatch shows
// "Customer Setting Error !!\nROM: 001\nStation 2: 012" with the caption "ERROR"; a file that is
// no regular file of 3 bytes and an index outside the table are told as for Station 1. The record
// is changed only on a match.
Outcome CheckCustomer(const Context& ctx, const StationFiles& files,
                      std::span<const uint8_t, kHeadBlockSize> read_block, ChartLabel& chart_label);

}  // namespace tarvo::station
