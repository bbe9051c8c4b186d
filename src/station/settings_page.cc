#include "station/settings_page.h"

#include <array>
#include <span>

#include "dialogs/printer_option_dialogs.h"
#include "dialogs/station_setting_dialogs.h"
#include "operations/printer_options.h"

namespace tarvo::station {
namespace {

// Up to `size` characters of a name as file bytes, zero-padded.
template <size_t N>
void PutChars(std::array<uint8_t, N>& bytes, size_t offset, size_t size, const std::string& text) {
  for (size_t i = 0; i < size; ++i) {
    bytes[offset + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
  }
}

Outcome Saved(const Context& ctx, const StationFiles& files, std::string_view name, bool ok) {
  if (ok) return Outcome::Done();
  const std::string text = "Cannot write " + files.PathOf(name).string() + " !!";
  ctx.Error(text, "Save");
  return Outcome::NotDone(text);
}

// Stores a group of printer option settings in one go.
template <typename Values, typename WriteGroup>
Outcome StoreOptions(const Context& ctx, const Values& values, WriteGroup write) {
  if (ctx.settings.Update([&](SettingsStore& store) { write(store, values); })) {
    return Outcome::Done();
  }
  const std::string text = "Cannot write the printer option settings !!";
  ctx.Error(text, "Save");
  return Outcome::NotDone(text);
}

}  // namespace

Outcome EditStation1Settings(const Context& ctx, const StationFiles& files) {
  const std::array<uint8_t, 6> current = files.ReadStation1();
  Station1Dialog dialog;
  dialog.current_destination = current[0];
  dialog.current_belt = CharsText(std::span(current).subspan(1, 3));
  dialog.current_pc = CharsText(std::span(current).subspan(4, 2));
  dialog.PresetFromCurrent();
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled();
  std::array<uint8_t, 6> bytes{};
  bytes[0] = static_cast<uint8_t>(dialog.destination);
  PutChars(bytes, 1, 3, dialog.belt_name);
  PutChars(bytes, 4, 2, dialog.pc_name);
  return Saved(ctx, files, StationFiles::kStation1File, files.WriteStation1(bytes));
}

Outcome EditStation2Settings(const Context& ctx, const StationFiles& files) {
  const std::array<uint8_t, 3> current = files.ReadStation2();
  Station2Dialog dialog;
  dialog.current_destination = current[0];
  dialog.current_value = CharsText(std::span(current).subspan(1, 2));
  dialog.PresetFromCurrent();
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled();
  std::array<uint8_t, 3> bytes{};
  bytes[0] = static_cast<uint8_t>(dialog.destination);
  PutChars(bytes, 1, 2, dialog.value);
  return Saved(ctx, files, StationFiles::kStation2File, files.WriteStation2(bytes));
}

Outcome EditOffsetSettings(const Context& ctx) {
  const OffsetSettings current = ReadOffsetSettings(ctx.settings);
  SetInitOffsetDialog dialog;
  dialog.disable = current.disable;
  dialog.ms1 = current.ms1;
  dialog.ms2 = current.ms2;
  dialog.vsd = current.vsd;
  dialog.ecn = current.ecn;
  dialog.tof = current.tof;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled();
  const OffsetSettings chosen{.disable = dialog.disable,
                              .ms1 = dialog.ms1,
                              .ms2 = dialog.ms2,
                              .vsd = dialog.vsd,
                              .ecn = dialog.ecn,
                              .tof = dialog.tof};
  return StoreOptions(ctx, chosen, WriteOffsetSettings);
}

Outcome EditInkSettings(const Context& ctx) {
  const InkSettings current = ReadInkSettings(ctx.settings);
  InkSystemInitDialog dialog;
  dialog.disable_ink = current.disable_ink;
  dialog.cl2kk = current.cl2kk;
  dialog.unplug_a = current.unplug_a;
  dialog.tcl_cond = current.tcl_cond;
  if (ctx.op.ShowDialog(dialog) != DialogResult::kOk) return Outcome::Cancelled();
  const InkSettings chosen{.disable_ink = dialog.disable_ink,
                           .cl2kk = dialog.cl2kk,
                           .tcl_cond = dialog.tcl_cond,
                           .unplug_a = dialog.unplug_a};
  return StoreOptions(ctx, chosen, WriteInkSettings);
}

}  // namespace tarvo::station
