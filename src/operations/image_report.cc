#include "operations/image_report.h"

#include <string>

#include "operations/current_directory.h"
#include "operations/rom_file.h"
#include "protocol/eeprom.h"

namespace tarvo {

Outcome WriteImageAndTell(const Context& ctx, PrinterLink& link,
                          std::span<const uint8_t, kRomImageSize> image, const ImageBytes& meant,
                          std::string_view success, std::string_view failure,
                          std::string_view caption) {
  Outcome written = WriteRomImageVerify(ctx, link, image, meant);
  if (written.achieved()) {
    ctx.Info(success, caption);
    return written;
  }
  ctx.Error(failure, caption);
  return Outcome::Failed(written.kind, std::string(failure));
}

std::optional<std::vector<uint8_t>> ChooseAndReadFileHead(const Context& ctx, size_t limit) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{false, std::string(kRomFileFilter)});
  if (!path) return std::nullopt;
  return ReadFileHead(ctx.StationPath(*path), limit);
}

}  // namespace tarvo
