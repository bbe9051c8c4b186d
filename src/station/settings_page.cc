#include "station/settings_page.h"

#include <array>
#include <span>

#include "dialogs/station_setting_dialogs.h"

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

}  // namespace tarvo::station
