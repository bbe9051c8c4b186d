#pragma once

#include <cstdint>
#include <span>

#include "base/record_sink.h"

namespace tarvo {

// The printer's identity in a head data block or ROM data image (at least its first 27 bytes;
// a shorter one gives an empty identity): ModelName, UsbSerialNo and HeadId, each as printer text
// up to its first zero byte and without an erased tail of 0xFF bytes (so a field never written is
// empty), and as the hex of all its bytes.
PrinterIdentity IdentityOf(std::span<const uint8_t> bytes);

// The adjustment values of a head data block or image (TofAdjust, Ms1Adjust ... EcnAdjust) as
// signed bytes; zeros for a block too short to hold them.
AdjustmentValues AdjustmentsOf(std::span<const uint8_t> bytes);

}  // namespace tarvo
