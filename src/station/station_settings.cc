#include "station/station_settings.h"

#include <algorithm>
#include <string>

namespace tarvo::station {
namespace {

constexpr const char* kCaption = "ERROR";

Outcome RefuseIndex(const Context& ctx, const DestinationChoice& choice) {
  ctx.Error("Customer Setting Error !!\n" + choice.problem, kCaption);
  return Outcome::NotDone(choice.problem);
}

}  // namespace

Outcome LoadStation1Settings(const Context& ctx, const StationFiles& files,
                             std::span<uint8_t, kHeadBlockSize> block) {
  const std::array<uint8_t, 6> file = files.ReadStation1();
  const DestinationChoice choice = DestinationOf(StationFiles::kStation1File, file[0]);
  if (!choice.row) return RefuseIndex(ctx, choice);
  std::copy_n(choice.row->code.begin(), 3, block.begin() + kModelNameOffset);
  std::copy_n(file.begin() + 1, 5, block.begin() + kUsbSerialNoOffset);
  block[kModelNumberOffset] = choice.row->model_number;
  block[kPageSizeOffset] = choice.row->page_size;
  return Outcome::Done();
}

Outcome CheckCustomer(const Context& ctx, const StationFiles& files,
                      std::span<const uint8_t, kHeadBlockSize> read_block,
                      ChartLabel& chart_label) {
  const std::array<uint8_t, 3> file = files.ReadStation2();
  const DestinationChoice choice = DestinationOf(StationFiles::kStation2File, file[0]);
  if (!choice.row) return RefuseIndex(ctx, choice);
  const auto rom_code = read_block.subspan(kModelNameOffset, 3);
  if (!std::equal(rom_code.begin(), rom_code.end(), choice.row->code.begin())) {
    // The printer's three bytes as they are, even where a zero would end a text.
    std::string rom;
    for (uint8_t b : rom_code) rom += CharsText(std::span<const uint8_t>(&b, b ? 1 : 0));
    const std::string text =
        "Customer Setting Error !!\nROM: " + rom + "\nStation 2: " + std::string(choice.row->code);
    ctx.Error(text, kCaption);
    return Outcome::NotDone("the printer's customer " + rom + " is not Station 2's " +
                            std::string(choice.row->code));
  }
  chart_label.jig_no = {file[1], file[2]};
  return Outcome::Done();
}

}  // namespace tarvo::station
