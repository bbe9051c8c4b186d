#pragma once

#include <string>

#include "model/rom_layout.h"

namespace tarvo {

// What a device layer keeps for the life of the process, beside the printer link: one instance
// per program or loaded library.
struct DeviceState {
  // The ROM data image last stored by the dump, initial-value, summary, transfer and (library)
  // discharge operations; all zero at start. Only the 0071-to-0073 transfer takes bytes from it.
  RomImage current_image{};
  // The library's version text, printed in chart headers after the firmware version.
  std::string library_version = "A080";
};

// The program's version text, printed in its chart headers.
inline constexpr const char* kProgramVersion = "0077";

}  // namespace tarvo
