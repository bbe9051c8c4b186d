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

std::optional<std::vector<uint8_t>> ChooseAndReadSizedFile(const Context& ctx, size_t size,
                                                           std::string* error) {
  CurrentDirectoryGuard keep_directory;
  *error = "Open File Error !!";
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{false, std::string(kRomFileFilter)});
  if (!path) return std::nullopt;
  std::string note;
  std::optional<std::vector<uint8_t>> bytes =
      ReadSizedFile(ctx, ctx.StationPath(*path), size, &note);
  if (!bytes && !note.empty()) *error += " " + *path + note;
  return bytes;
}

}  // namespace tarvo
