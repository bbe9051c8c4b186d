#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// ROM data files: the raw 128-byte image, no header, no checksum. The file dialogs offer every
// file.
inline constexpr std::string_view kRomFileFilter = "All Files|*.*||";

// The first `limit` bytes of a file (all of a shorter one), or nothing when it cannot be opened
// or read.
std::optional<std::vector<uint8_t>> ReadFileHead(const std::string& path, size_t limit);

// Asks for a ROM data file and writes it into the printer as the image: a shorter file is
// completed with zero bytes, bytes past 128 are ignored. Tells the operator the outcome. Done
// when the image was written and verified in every byte but FwVersion.
Outcome LoadFile(const Context& ctx, PrinterLink& link);

// Asks for a file name, reads the image from the printer and stores it in that file. The file is
// replaced only once the image is in hand, and atomically, so a failed read or write leaves an
// existing backup as it was. Done when the file was written.
Outcome SaveFile(const Context& ctx, PrinterLink& link);

}  // namespace tarvo
