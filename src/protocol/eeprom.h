#pragma once

#include <bitset>
#include <cstdint>
#include <span>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// Access to the printer's EEPROM through command 0x81: the 41-byte head data block, the whole
// 128-byte ROM data image, and a generic read. Each reports its own failures to the operator and
// returns how it went; what a read gets goes into the destination passed.

// Reads the head data block into `dest`; on failure `dest` is left as it was.
Outcome ReadData(const Context& ctx, PrinterLink& link, HeadBlock& dest);

// Writes the head data block (command, then the 41 bytes). No reply is read.
Outcome WriteData(const Context& ctx, PrinterLink& link, const HeadBlock& block);

// WriteData, then ReadData into `read_back`; done when all 41 bytes came back as written. A
// transfer that failed is a failure even if the stale read-back happens to match.
Outcome WriteDataVerify(const Context& ctx, PrinterLink& link, const HeadBlock& block,
                        HeadBlock& read_back);

// Reads the whole image and stamps the running firmware's version ("F") into FwVersion, so the
// image handed out always shows what the printer runs. Nothing is written back. On failure the
// image may hold the bytes read so far.
Outcome ReadRomImage(const Context& ctx, PrinterLink& link, std::span<uint8_t, kRomImageSize> dest);

// Writes the whole image (command, then the 128 bytes).
Outcome WriteRomImage(const Context& ctx, PrinterLink& link,
                      std::span<const uint8_t, kRomImageSize> image);

// The bytes of the image a verified write checks beyond the head's identity and offsets
// (0x00-0x21, always checked). FwVersion is never checked: the read stamps it.
using ImageBytes = std::bitset<kRomImageSize>;
// Where `after` differs from `before`: what an operation that read the image and changed it
// meant to set. The rest it wrote back as read, and a printer may change its own counters
// meanwhile.
ImageBytes ChangedBytes(std::span<const uint8_t, kRomImageSize> before,
                        std::span<const uint8_t, kRomImageSize> after);
// Every byte: for an image that was not read from the printer first (a file, a conversion).
ImageBytes EveryImageByte();

// WriteRomImage, then ReadRomImage; done when the read-back holds the image in bytes 0-33 and in
// every byte of `meant`, FwVersion apart. A mismatch is kVerifyFailed and names the first
// differing offset.
Outcome WriteRomImageVerify(const Context& ctx, PrinterLink& link,
                            std::span<const uint8_t, kRomImageSize> image, const ImageBytes& meant);

// Reads `dest.size()` bytes from `start`; the printer first sends an answer of up to 200 bytes
// that is read and dropped. Refused (nothing sent) for a length the reply path cannot carry.
Outcome ReadMemory(const Context& ctx, PrinterLink& link, std::span<uint8_t> dest, uint8_t start);

}  // namespace tarvo
