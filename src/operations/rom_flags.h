#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/rom_layout.h"

namespace tarvo {

// Engineering operations that change single values of the ROM data image, or clear it, through
// the Charge and FW Version dialogs. Each reads the image fresh from the printer; a failed read
// ends the operation (the read has told the operator about transfer errors).

// The four characters of FwVersion as a dialog shows them: up to the first zero byte.
std::string VersionText(std::span<const uint8_t, kRomImageSize> image);

// Clears the whole image, keeping only the charge flag and the firmware version that the
// operator confirms in the two dialogs (a cancelled dialog leaves its bytes zero), and writes it.
// Done when written and verified over every byte the reset changed.
Outcome ResetAll(const Context& ctx, PrinterLink& link);

// Lets the operator change InitialStuffFlag and writes the image back, also after a cancel.
// Done when written and verified, the flag included.
Outcome SetCharge(const Context& ctx, PrinterLink& link);

// Shows the firmware version the printer reports in the FW Version dialog; `version` gets it.
Outcome ReadFW(const Context& ctx, PrinterLink& link, std::string& version);

// Sets InitialStuffFlag to 1 when the operator enters exactly "1", else to 0, and writes the image
// read from EEPROM address 0. Nothing is written after a cancel (kCancelled). No message either
// way; done when written and verified, the flag included.
Outcome SetInitialStuff(const Context& ctx, PrinterLink& link);

// The same for FtFlag.
Outcome SetFTFlag(const Context& ctx, PrinterLink& link);

// Shows FatalErrorCode as an unsigned decimal number; `code` gets it.
Outcome ReadFatalErrorCode(const Context& ctx, PrinterLink& link, uint8_t& code);

}  // namespace tarvo
