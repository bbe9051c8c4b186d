#pragma once

#include <string_view>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"

namespace tarvo {

// Firmware and shipping images are opaque files streamed to the printer exactly like print files.
inline constexpr std::string_view kFirmwareFilter = "All Files|*.bin||";

// The fixed image of a shipping type, found in the current directory: 0
// "ShippingResetROM_1C71.bin", 1 "Shipping_1C71.bin", 2 "SPCtest.bin"; empty for any other type.
std::string_view ShippingFileName(int type);

// Asks for a firmware image and sends it. A cancelled dialog is sent as an empty name, which
// cannot be opened. A failed send is told twice: by the send, then by this operation. The current
// directory is the same afterwards as before. Done when the whole image went out.
Outcome UpdateFW(const Context& ctx, PrinterLink& link);

// Sends the fixed image of `type` (see ShippingFileName). Done when the whole image went out.
Outcome UpdateShippingFW(const Context& ctx, PrinterLink& link, int type);

}  // namespace tarvo
