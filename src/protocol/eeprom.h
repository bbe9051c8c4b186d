#pragma once

#include <cstdint>
#include <span>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// Access to the printer's EEPROM through command 0x81: the 41-byte head data block, the whole
// 128-byte ROM data image, and a generic read. Each reports its own failures to the operator and
// returns whether it did what it was asked.

// Reads the head data block into `dest`; on failure `dest` is left as it was.
bool ReadData(const Context& ctx, PrinterLink& link, HeadBlock& dest);

// Writes the head data block (command, then the 41 bytes). No reply is read.
bool WriteData(const Context& ctx, PrinterLink& link, const HeadBlock& block);

// WriteData, then ReadData into `read_back`; true when all 41 bytes came back as written. A
// transfer that failed gives false even if the stale read-back happens to match.
bool WriteDataVerify(const Context& ctx, PrinterLink& link, const HeadBlock& block,
                     HeadBlock& read_back);

// Reads the whole image and stamps the running firmware's version ("F") into FwVersion, so the
// image handed out always shows what the printer runs. Nothing is written back. False when any
// transfer failed (the image may then hold the bytes read so far).
bool ReadRomImage(const Context& ctx, PrinterLink& link, std::span<uint8_t, kRomImageSize> dest);

// Writes the whole image (command, then the 128 bytes).
bool WriteRomImage(const Context& ctx, PrinterLink& link,
                   std::span<const uint8_t, kRomImageSize> image);

// WriteRomImage, then ReadRomImage; true when the read-back matches in bytes 0-33 (the version
// bytes after them are stamped by the read).
bool WriteRomImageVerify(const Context& ctx, PrinterLink& link,
                         std::span<const uint8_t, kRomImageSize> image);

// Reads `dest.size()` bytes from `start`; the printer first sends an answer of up to 200 bytes
// that is read and dropped. False (nothing sent) for a length the reply path cannot carry.
bool ReadMemory(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest, uint8_t start);

}  // namespace tarvo
