#pragma once

#include <span>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/device_state.h"
#include "model/rom_layout.h"
#include "model/rom_summary.h"

namespace tarvo {

// What DumpData and SetInitialValue did.
enum class DumpOutcome {
  kReadFailed,  // the image could not be read; nothing shown, nothing written
  kCancelled,   // the dialog was not confirmed; nothing written
  kUnchanged,   // nothing differed from the printer's image; nothing written
  kWritten,     // written and verified
  kWriteFailed  // written, but the write or its verification failed
};

// Puts the initial values into `image`, FwVersion taken from the running firmware (four zero
// bytes when the printer does not say).
void ApplyInitialValuesFromPrinter(const Context& ctx, PrinterLink& link,
                                   std::span<uint8_t, kRomImageSize> image);

// Reads the image and shows it in the "EEPROM Data" dialog for editing; with mode 1 the initial
// values are applied first. On OK the image is written back, with verification, only when a byte
// differs from what was read. The image worked on becomes the current image.
DumpOutcome DumpData(const Context& ctx, PrinterLink& link, DeviceState& state, int mode);

// Reads the image, applies the initial values and writes it back if that changed anything. The
// image becomes the current image.
DumpOutcome SetInitialValue(const Context& ctx, PrinterLink& link, DeviceState& state);

// Reads the image and the firmware version and condenses them into `record` (the program fills
// its first 75 bytes). The image becomes the current image. False, with `record` untouched, when
// the image could not be read.
bool DumpTransferROMData(const Context& ctx, PrinterLink& link, DeviceState& state,
                         std::span<uint8_t, kLibrarySummarySize> record);

}  // namespace tarvo
