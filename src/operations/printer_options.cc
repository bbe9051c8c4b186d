#include "operations/printer_options.h"

#include <array>

namespace tarvo {
namespace {

constexpr std::array<PrinterOption, 10> kOptions{{
    {"disable", 4, &OffsetSettings::disable},
    {"MS1", 4, &OffsetSettings::ms1},
    {"MS2", 4, &OffsetSettings::ms2},
    {"VSD", 4, &OffsetSettings::vsd},
    {"ECN", 4, &OffsetSettings::ecn},
    {"TOF", 4, &OffsetSettings::tof},
    {"disableink", 1, nullptr, &InkSettings::disable_ink},
    {"CL2KK", 1, nullptr, &InkSettings::cl2kk},
    {"tclCond", 1, nullptr, &InkSettings::tcl_cond},
    {"unplugA", 1, nullptr, &InkSettings::unplug_a},
}};

}  // namespace

std::span<const PrinterOption> PrinterOptions() {
  return kOptions;
}

const PrinterOption* FindPrinterOption(std::string_view name) {
  for (const PrinterOption& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

OffsetSettings ReadOffsetSettings(SettingsStore& store) {
  OffsetSettings v;
  for (const PrinterOption& o : kOptions) {
    if (!o.offset) continue;
    if (auto value = store.ReadInt32(kSelectPrinterKey, o.name)) v.*o.offset = *value;
  }
  return v;
}

InkSettings ReadInkSettings(SettingsStore& store) {
  InkSettings v;
  for (const PrinterOption& o : kOptions) {
    if (!o.ink) continue;
    if (auto value = store.ReadByte(kSelectPrinterKey, o.name)) v.*o.ink = *value;
  }
  return v;
}

void WriteOffsetSettings(SettingsStore& store, const OffsetSettings& v) {
  for (const PrinterOption& o : kOptions) {
    if (o.offset) store.WriteInt32(kSelectPrinterKey, o.name, v.*o.offset);
  }
}

void WriteInkSettings(SettingsStore& store, const InkSettings& v) {
  for (const PrinterOption& o : kOptions) {
    if (o.ink) store.WriteByte(kSelectPrinterKey, o.name, v.*o.ink);
  }
}

}  // namespace tarvo
