#pragma once

#include <span>

#include "model/device_state.h"

namespace tarvo {

// Replaces the library's version text, printed in chart headers after the firmware version, with
// the characters given: at most four, and a zero byte ends the text early. Nothing is sent to the
// printer.
void SetDLLVersion(DeviceState& state, std::span<const char> chars);

}  // namespace tarvo
