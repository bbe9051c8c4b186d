#include "operations/image_report.h"

#include <string>

#include "operations/current_directory.h"
#include "operations/rom_file.h"
#include "protocol/eeprom.h"

namespace tarvo {

bool WriteImageAndTell(const Context& ctx, PrinterLink& link,
                       std::span<const uint8_t, kRomImageSize> image, std::string_view success,
                       std::string_view failure, std::string_view caption) {
  if (WriteRomImageVerify(ctx, link, image)) {
    ctx.Info(success, caption);
    return true;
  }
  ctx.Error(failure, caption);
  return false;
}

std::optional<std::vector<uint8_t>> ChooseAndReadFileHead(const Context& ctx, size_t limit) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{false, std::string(kRomFileFilter)});
  if (!path) return std::nullopt;
  return ReadFileHead(ctx.StationPath(*path), limit);
}

}  // namespace tarvo
