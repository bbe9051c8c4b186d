#pragma once

#include <cstdint>
#include <span>

#include "base/record_sink.h"

namespace tarvo {

// The printer's identity in a head data block or ROM data image (at least its first 27 bytes;
// a shorter one gives an empty identity): ModelName, UsbSerialNo and HeadId, each without its
// zero bytes and 0xFF bytes (unset, or never written).
PrinterIdentity IdentityOf(std::span<const uint8_t> bytes);

// The adjustment values of a head data block or image (TofAdjust, Ms1Adjust ... EcnAdjust) as
// signed bytes; zeros for a block too short to hold them.
AdjustmentValues AdjustmentsOf(std::span<const uint8_t> bytes);

}  // namespace tarvo
