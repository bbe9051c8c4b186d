#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "base/context.h"
#include "base/outcome.h"
#include "charts/chart_table.h"
#include "link/printer_link.h"
#include "model/chart_label.h"
#include "model/device_state.h"
#include "model/rom_layout.h"

namespace tarvo {

// The two interactive adjustments of a new printer's print geometry: the top-of-form position
// and the bidirectional alignment of the four print modes. Each prints a chart, lets the operator
// judge it, sends the correction at once so the next chart shows it, and at the end stores the
// value in the head data block of the EEPROM with read-back verification.

inline constexpr int kBiDTotalLimit = 60;
inline constexpr uint8_t kBiDNeutral = 8;  // the "D" value byte of a mode left as it is

// One Bi-d print mode: its field of the head data block, its charts, the caption the operator
// sees and its index among the four "D" packets.
struct BiDMode {
  std::string_view caption;
  uint8_t field_offset;
  uint32_t first_chart;
  uint32_t later_chart;
  uint8_t packet_index;
};

// Modes 0 "MS1", 1 "MS2", 2 "VSD", 3 "ECN"; nullptr for any other number.
const BiDMode* FindBiDMode(int mode);

// The TOF command with the new TofAdjust. On failure tells the operator.
Outcome SendTOFValue(const Context& ctx, PrinterLink& link, int8_t tof);

// The four "D" packets, value bytes for index 0..3, in one 32-byte write. On failure tells the
// operator.
Outcome SendBiDValues(const Context& ctx, PrinterLink& link, std::array<uint8_t, 4> values);

// Adjusts TofAdjust against chart 6 (TOF Adjustment dialog, steps of 25 = one unit) and stores
// it. `working` is printed from and written; `read` receives the EEPROM's contents. The program
// writes the EEPROM's fresh block with the new value; the library writes `working` as it stands.
// Done when stored and verified; kVerifyFailed when the write did not verify; a failed command
// write (kTransferFailed) or the dialog closed without OK (kCancelled) stores nothing and leaves
// `working` with the last value tried. A chart that did not print is passed over, so
// ResultCode() gives the station's codes: 1 stored, 0 not verified, 2 not done.
Outcome TOF(const Context& ctx, PrinterLink& link, const DeviceState& state, HeadBlock& working,
            HeadBlock& read, ChartLabel& chart_label);

// Adjusts the Bi-d offset of `mode` (0-3) against its charts with the value entry dialog, whose
// running total starts from the working block's field at each pass, and stores the total.
// As TOF, and kNotDone for a mode outside 0-3 (refused before anything is printed) and
// kOutOfRange for a total outside -60 ... +60 (nothing stored; ResultCode() 3).
Outcome BiAdjust(const Context& ctx, PrinterLink& link, const DeviceState& state,
                 HeadBlock& working, HeadBlock& read, ChartLabel& chart_label, int mode);

}  // namespace tarvo
