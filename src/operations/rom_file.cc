#include "operations/rom_file.h"

#include <algorithm>
#include <fstream>

#include "base/atomic_file.h"
#include "operations/current_directory.h"
#include "operations/image_report.h"
#include "protocol/eeprom.h"

namespace tarvo {
namespace {

constexpr std::string_view kOpenFileError = "Open File Error !!";
constexpr std::string_view kOpenFileCaption = "MEload";

Outcome OpenFileError(const Context& ctx) {
  ctx.Error(kOpenFileError, kOpenFileCaption);
  return Outcome::NotDone(std::string(kOpenFileError));
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadFileHead(const std::string& path, size_t limit) {
  if (path.empty()) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::vector<uint8_t> bytes(limit);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
  // A short file ends in eof; a directory or an I/O error sets bad.
  if (file.bad()) return std::nullopt;
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

Outcome LoadFile(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  std::optional<std::vector<uint8_t>> bytes = ChooseAndReadFileHead(ctx, kRomImageSize);
  if (!bytes) return OpenFileError(ctx);
  std::copy(bytes->begin(), bytes->end(), image.begin());
  // The file is meant to be in the EEPROM as it stands, every byte of it.
  return WriteImageAndTell(ctx, link, image, EveryImageByte(), "Load Data Success !!",
                           "Load Data Fail !!", "Load");
}

Outcome SaveFile(const Context& ctx, PrinterLink& link) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{true, std::string(kRomFileFilter)});
  if (!path || path->empty()) return OpenFileError(ctx);
  RomImage image{};
  // The read reports its own transfer errors; the file is not touched without an image.
  Outcome read = ReadRomImage(ctx, link, image);
  if (!read.achieved()) return read;
  if (!WriteFileAtomically(ctx.StationPath(*path), image)) return OpenFileError(ctx);
  ctx.Info("Save to File Success !!", "Save");
  return read;
}

}  // namespace tarvo
