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

// "6 bytes", "1 byte"; the library's words have no plural.
std::string Count(const Context& ctx, uintmax_t n) {
  return std::to_string(n) +
         std::string(ctx.Text({n == 1 ? std::string_view(" byte") : " bytes", " 位元組"}));
}

// What is wrong, in the program's words and in the library's.
std::string FaultText(const Context& ctx, std::string_view name, size_t size,
                      const StationFileFault& fault) {
  using Kind = StationFileFault::Kind;
  const std::string file(name);
  switch (fault.kind) {
    case Kind::kFolder:
      return file + std::string(ctx.Text({" is a folder, not a file of ", " 是資料夾,不是 "})) +
             Count(ctx, size) + std::string(ctx.Text({"", "的檔案"}));
    case Kind::kNotAFile:
      return file + std::string(ctx.Text({" is not a regular file", " 不是一般檔案"}));
    case Kind::kSize:
      return file + std::string(ctx.Text({" holds ", " 有 "})) + Count(ctx, fault.size) +
             std::string(ctx.Text({" instead of ", ",應為 "})) + Count(ctx, size);
    case Kind::kUnreadable:
      return file + std::string(ctx.Text({" cannot be read: ", " 無法讀取: "})) + fault.error;
    case Kind::kNone:
      break;
  }
  return {};
}

}  // namespace

Outcome TellStationFileFault(const Context& ctx, std::string_view name, size_t size,
                             const StationFileFault& fault) {
  if (!fault) return Outcome::Done();
  const std::string what = FaultText(ctx, name, size, fault);
  ctx.Error(
      std::string(ctx.Text({"Station Setting File Error !!\n", "站別設定檔錯誤 !!\n"})) + what,
      kCaption);
  return Outcome::NotDone(what);
}

Outcome LoadStation1Settings(const Context& ctx, const StationFiles& files,
                             std::span<uint8_t, kHeadBlockSize> block) {
  StationFileFault fault;
  const std::array<uint8_t, 6> file = files.ReadStation1(&fault);
  if (fault) return TellStationFileFault(ctx, StationFiles::kStation1File, file.size(), fault);
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
  StationFileFault fault;
  const std::array<uint8_t, 3> file = files.ReadStation2(&fault);
  if (fault) return TellStationFileFault(ctx, StationFiles::kStation2File, file.size(), fault);
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
