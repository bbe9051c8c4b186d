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

// The bytes of the file at `path` when it is a regular file of exactly `size` bytes. Otherwise
// nothing, and *note says what was wrong in the edition's words (FileKindNote, FileSizeNote,
// FileTooLongNote; empty for a file that is missing or cannot be read). A file of another size
// is never read past `size` bytes, whatever it is.
std::optional<std::vector<uint8_t>> ReadSizedFile(const Context& ctx, const std::string& path,
                                                  size_t size, std::string* note);

// Asks for a ROM data file and writes it into the printer as the image. A file of another size
// than 128 bytes, or one that is no regular file, is refused with "Open File Error !!", its name
// and what is wrong with it, and nothing is written. Tells the operator the outcome. Done when
// the image was written and verified in every byte but FwVersion.
Outcome LoadFile(const Context& ctx, PrinterLink& link);

// Asks for a file name, reads the image from the printer and stores it in that file. The file is
// replaced only once the image is in hand, and atomically, so a failed read or write leaves an
// existing backup as it was. Done when the file was written.
Outcome SaveFile(const Context& ctx, PrinterLink& link);

}  // namespace tarvo
