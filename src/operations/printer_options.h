#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/settings_store.h"

namespace tarvo {

// The printer option settings every new head receives, kept under kSelectPrinterKey. Read afresh
// at every use so that a change made by the settings editors is seen at once; a value that is
// missing or of the wrong width keeps its default.

// "disable" and the five initial alignment offsets, 4 bytes each. Only the low byte of an offset
// reaches the printer.
struct OffsetSettings {
  int32_t disable = 0;  // 0: the offsets are applied to a new head
  int32_t ms1 = 0;
  int32_t ms2 = 0;
  int32_t vsd = 0;
  int32_t ecn = 0;
  int32_t tof = 0;
  friend bool operator==(const OffsetSettings&, const OffsetSettings&) = default;
};

// The ink system values, 1 byte each.
struct InkSettings {
  uint8_t disable_ink = 0;  // "disableink": 0 = the two values below are written with a head ID
  uint8_t cl2kk = 2;        // "CL2KK": kept for the editor, applied by nobody
  uint8_t tcl_cond = 3;     // "tclCond" -> TclCondition
  uint8_t unplug_a = 24;    // "unplugA" -> UnplugAccumulation
  friend bool operator==(const InkSettings&, const InkSettings&) = default;
};

// One printer option setting: its value name under kSelectPrinterKey, its width in the store
// (4: a member of OffsetSettings, 1: a member of InkSettings) and that member.
struct PrinterOption {
  std::string_view name;
  int width;
  int32_t OffsetSettings::*offset = nullptr;  // width 4
  uint8_t InkSettings::*ink = nullptr;        // width 1
};

// Every setting, the offsets first, in the order the editors show them.
std::span<const PrinterOption> PrinterOptions();
// The setting of a name, or nullptr. Names are compared exactly.
const PrinterOption* FindPrinterOption(std::string_view name);

OffsetSettings ReadOffsetSettings(SettingsStore& store);
InkSettings ReadInkSettings(SettingsStore& store);

// Store every value of the group (creating the key when missing). Writes are not checked, as the
// station never did; a lost write shows as the default on the next read.
void WriteOffsetSettings(SettingsStore& store, const OffsetSettings& values);
void WriteInkSettings(SettingsStore& store, const InkSettings& values);

}  // namespace tarvo
