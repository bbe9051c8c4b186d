#pragma once

#include "model/chart_label.h"
#include "model/device_state.h"
#include "model/rom_layout.h"

namespace tarvo {

// The station's run-time data: what the operations of one station run share beside the printer
// link. tarvo-cli holds one for a run, the library one from load to unload, the program one per
// station. A plain record; the operations take the parts they need.
struct StationData {
  HeadBlock working_block{};  // the head data block that steps write and charts print
  HeadBlock read_block{};     // what reads and read-backs fill
  ChartLabel chart_label;     // the chart label record
  DeviceState state;          // current image, library version text
};

}  // namespace tarvo
