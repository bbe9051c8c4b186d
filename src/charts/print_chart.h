#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "base/context.h"
#include "base/outcome.h"
#include "link/printer_link.h"
#include "model/chart_label.h"
#include "model/device_state.h"
#include "model/rom_layout.h"

namespace tarvo {

inline constexpr int64_t kAfterChartWaitMs = 10'000;
inline constexpr int64_t kMeasurementWaitMs = 60'000;

// Prints chart `chart` (0-18): the first print file, the header page made from `head` and the
// chart label record, the second print file, then a 10 s wait. Counts the print in
// `chart_label`. The link must be open; it is left open. A chart number above 18 has no file: the
// open fails with its message and nothing is printed. A failed query or header page is passed
// over; a print file that does not go out ends the print as failed.
Outcome PrintChart(const Context& ctx, PrinterLink& link, const DeviceState& state,
                   const HeadBlock& head, ChartLabel& chart_label, uint32_t chart);

// The program's nozzle check print: opens the link, prints the nozzle check chart's two files
// (the second only when the first went out), closes the link. No header page, no wait.
Outcome PrintNozzleCheck(const Context& ctx, PrinterLink& link);

// The program's measurement print: opens the link, sends the dot file three times with a 60 s
// pause after each successful send, stopping at the first failure, then closes the link.
Outcome PrintMeasurementFile(const Context& ctx, PrinterLink& link, const std::string& dot_file);

}  // namespace tarvo
