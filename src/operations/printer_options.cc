#include "operations/printer_options.h"

namespace tarvo {

OffsetSettings ReadOffsetSettings(SettingsStore& store) {
  OffsetSettings v;
  auto read = [&](std::string_view name, int32_t& field) {
    if (auto value = store.ReadInt32(kSelectPrinterKey, name)) field = *value;
  };
  read("disable", v.disable);
  read("MS1", v.ms1);
  read("MS2", v.ms2);
  read("VSD", v.vsd);
  read("ECN", v.ecn);
  read("TOF", v.tof);
  return v;
}

InkSettings ReadInkSettings(SettingsStore& store) {
  InkSettings v;
  auto read = [&](std::string_view name, uint8_t& field) {
    if (auto value = store.ReadByte(kSelectPrinterKey, name)) field = *value;
  };
  read("disableink", v.disable_ink);
  read("CL2KK", v.cl2kk);
  read("tclCond", v.tcl_cond);
  read("unplugA", v.unplug_a);
  return v;
}

void WriteOffsetSettings(SettingsStore& store, const OffsetSettings& v) {
  store.WriteInt32(kSelectPrinterKey, "disable", v.disable);
  store.WriteInt32(kSelectPrinterKey, "MS1", v.ms1);
  store.WriteInt32(kSelectPrinterKey, "MS2", v.ms2);
  store.WriteInt32(kSelectPrinterKey, "VSD", v.vsd);
  store.WriteInt32(kSelectPrinterKey, "ECN", v.ecn);
  store.WriteInt32(kSelectPrinterKey, "TOF", v.tof);
}

void WriteInkSettings(SettingsStore& store, const InkSettings& v) {
  store.WriteByte(kSelectPrinterKey, "disableink", v.disable_ink);
  store.WriteByte(kSelectPrinterKey, "CL2KK", v.cl2kk);
  store.WriteByte(kSelectPrinterKey, "tclCond", v.tcl_cond);
  store.WriteByte(kSelectPrinterKey, "unplugA", v.unplug_a);
}

}  // namespace tarvo
