#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/chart_label.h"
#include "model/device_state.h"

namespace tarvo {

// Head maintenance: the fixed, timed motor sequences that grease the mechanics, fill, clean and
// drain the ink system. Each runs to its end on the caller's thread; a failed command is told to
// the operator and the sequence goes on (only the EEPROM finishing of the discharge stops early).
// Switching the printer off is PowerOff (protocol/commands.h).

// The "CH" parameter of a cleaning mode: 1 "CL1", 2 "CL2", 3 "CL1D", and 4 where the edition has
// it. Nothing for any other mode.
std::optional<uint8_t> CleaningParameter(const Edition& edition, int mode);

// Cleans the nozzles: counts the cleaning in `chart_label` and sends the remote "CH"
// command of `mode`, then waits 10 s under the "Printer Busy" window. A failed write is still
// counted, is told to the operator and skips the wait. A mode the edition does not have is
// refused before anything is counted or sent (kNotDone).
Outcome NozzleClean(const Context& ctx, PrinterLink& link, ChartLabel& chart_label, int mode);

// Greases the carriage and paper feed mechanics. The outcome is the first failed command's.
Outcome Lubrication(const Context& ctx, PrinterLink& link);

// Fills the head with ink. The charge count of the chart label record is the caller's. The
// outcome is the first failed command's.
Outcome InkCharge(const Context& ctx, PrinterLink& link);

// Drains the ink with the discharge jig, as many cycles as the operator asks for, then (when
// `finishing` is nonzero) stores the shipping values in the EEPROM: FitToPage and FtFlag set, the
// running firmware's version, ink and protection counters cleared. InkDisCharge then switches
// the printer off; InkDisChargeNoPowerOff leaves it on. The library's InkDisChargeNoPowerOff
// writes only the flags and clears the counters in `state.current_image` instead.
// Failed when the finishing could not read the image, or the image written did not verify over
// the bytes the finishing set ("Write EEPROM Error !!", kVerifyFailed); the printer is then left
// on. A failed motor command or power-off is passed over: achieved() is the host's true/false.
Outcome InkDisCharge(const Context& ctx, PrinterLink& link, DeviceState& state, int finishing);
Outcome InkDisChargeNoPowerOff(const Context& ctx, PrinterLink& link, DeviceState& state,
                               int finishing);

}  // namespace tarvo
