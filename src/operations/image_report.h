#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"
#include "protocol/eeprom.h"

namespace tarvo {

// Writes the image with read-back verification over the bytes 0-33 and `meant` (see
// WriteRomImageVerify) and tells the operator how it went: `success` with the information icon,
// `failure` with the error icon, both under `caption`. A failure keeps the kind of what failed
// (the verification or a transfer) and carries `failure` as its step.
Outcome WriteImageAndTell(const Context& ctx, PrinterLink& link,
                          std::span<const uint8_t, kRomImageSize> image, const ImageBytes& meant,
                          std::string_view success, std::string_view failure,
                          std::string_view caption);

// Asks the operator for a file to open (every file offered) and reads it when it holds exactly
// `size` bytes (ReadSizedFile). Nothing when the dialog is cancelled or the file is refused;
// *error then holds what to tell: "Open File Error !!", followed by the file's name and what is
// wrong with it when a file was there. The current directory is the same afterwards, wherever
// the dialog went.
std::optional<std::vector<uint8_t>> ChooseAndReadSizedFile(const Context& ctx, size_t size,
                                                           std::string* error);

}  // namespace tarvo
