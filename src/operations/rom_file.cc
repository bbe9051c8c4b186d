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

bool LoadFile(const Context& ctx, PrinterLink& link) {
  RomImage image{};
  std::optional<std::vector<uint8_t>> bytes = ChooseAndReadFileHead(ctx, kRomImageSize);
  if (!bytes) {
    ctx.Error(kOpenFileError, kOpenFileCaption);
    return false;
  }
  std::copy(bytes->begin(), bytes->end(), image.begin());
  return WriteImageAndTell(ctx, link, image, "Load Data Success !!", "Load Data Fail !!", "Load");
}

bool SaveFile(const Context& ctx, PrinterLink& link) {
  CurrentDirectoryGuard keep_directory;
  std::optional<std::string> path =
      ctx.op.ChooseFile(FileRequest{true, std::string(kRomFileFilter)});
  if (!path || path->empty()) {
    ctx.Error(kOpenFileError, kOpenFileCaption);
    return false;
  }
  RomImage image{};
  // The read reports its own transfer errors; the file is not touched without an image.
  if (!ReadRomImage(ctx, link, image)) return false;
  if (!WriteFileAtomically(ctx.StationPath(*path), image)) {
    ctx.Error(kOpenFileError, kOpenFileCaption);
    return false;
  }
  ctx.Info("Save to File Success !!", "Save");
  return true;
}

}  // namespace tarvo
