#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "model/chart_label.h"
#include "model/device_state.h"
#include "model/rom_layout.h"

namespace tarvo {

// What one result slot of a station holds.
inline constexpr uint8_t kResultFail = 0;
inline constexpr uint8_t kResultPass = 1;
inline constexpr uint8_t kResultNotRun = 2;

inline constexpr size_t kStation1Slots = 2;
inline constexpr size_t kStation2Slots = 13;

// The visual inspections of the quality charts: kind 0 "G0S A4" (9 areas), 1 "S/F Letter",
// 2 "Photo", 4 "Envelope" (2 areas each), 3 "Post Card" (1 area).
inline constexpr int kInspectionKinds = 5;
inline constexpr size_t kInspectionAreas[kInspectionKinds] = {9, 2, 2, 1, 2};

// The station's run-time data: what the operations of one station run share beside the printer
// link. tarvo-cli holds one for a run, the library one from load to unload, the program one per
// station. A plain record; the operations take the parts they need, and the step runner, the ROM
// data viewer and every device operation a station step calls see the same instance.
struct StationData {
  HeadBlock working_block{};  // the head data block that steps write and charts print
  HeadBlock read_block{};     // what reads and read-backs fill
  ChartLabel chart_label;     // the chart label record
  DeviceState state;          // current image, library version text

  // The step runner's results, per result slot: kResultNotRun, kResultPass or kResultFail.
  std::array<uint8_t, kStation1Slots> station1_results{kResultNotRun, kResultNotRun};
  std::array<uint8_t, kStation2Slots> station2_results = [] {
    std::array<uint8_t, kStation2Slots> r{};
    r.fill(kResultNotRun);
    return r;
  }();
  // EEPROM writes that failed since the results were last reset; stops at 255.
  uint8_t rom_write_failures = 0;
  // The per-area verdicts (1 Pass, 0 Fail) of the last inspection of each kind; kept, not shown.
  std::array<std::array<uint8_t, 9>, kInspectionKinds> inspections{};

  std::span<uint8_t> Inspection(int kind) {
    return std::span<uint8_t>(inspections[kind]).first(kInspectionAreas[kind]);
  }
  void CountRomWriteFailure() {
    if (rom_write_failures < 255) ++rom_write_failures;
  }
};

}  // namespace tarvo
