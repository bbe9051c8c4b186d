#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "model/rom_layout.h"

namespace tarvo::cli {

// Printer characters as a quoted text: printable ones as their Latin-1 characters (an erased
// byte 0xFF is 'ÿ'), control bytes, quotes and backslashes as \xNN.
std::string Quoted(std::string_view chars);

// One field of an image or head data block as tarvo-cli shows it: characters quoted, numbers in
// decimal, unnamed bytes in hex.
std::string FieldValue(std::span<const uint8_t> bytes, const RomField& f);

// "0x1b" for a field's offset.
std::string OffsetText(const RomField& f);

// One line per field that lies within `bytes`: "0x1b Ms1Adjust = -10".
void PrintFields(std::ostream& out, std::span<const uint8_t> bytes);

}  // namespace tarvo::cli
