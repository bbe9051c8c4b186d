#pragma once

#include <span>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/device_state.h"
#include "model/rom_layout.h"
#include "model/rom_summary.h"

namespace tarvo {

// Puts the initial values into `image`, FwVersion taken from the running firmware (four zero
// bytes when the printer does not say; that failure is passed over).
Outcome ApplyInitialValuesFromPrinter(const Context& ctx, PrinterLink& link,
                                      std::span<uint8_t, kRomImageSize> image);

// Reads the image and shows it in the "EEPROM Data" dialog for editing; with mode 1 the initial
// values are applied first. On OK the image is written back, with verification over the bytes
// that changed, only when a byte differs from what was read (`*written` tells whether it was).
// The image worked on becomes the current image. kCancelled when the dialog was not confirmed.
Outcome DumpData(const Context& ctx, PrinterLink& link, DeviceState& state, int mode,
                 bool* written = nullptr);

// Reads the image, applies the initial values and writes it back if that changed anything, with
// verification over the bytes that changed. The image becomes the current image.
Outcome SetInitialValue(const Context& ctx, PrinterLink& link, DeviceState& state,
                        bool* written = nullptr);

// Reads the image and the firmware version and condenses them into `record` (the program fills
// its first 75 bytes). The image becomes the current image. `record` is untouched when the image
// could not be read; a failed second version query is passed over.
Outcome DumpTransferROMData(const Context& ctx, PrinterLink& link, DeviceState& state,
                            std::span<uint8_t, kLibrarySummarySize> record);

}  // namespace tarvo
