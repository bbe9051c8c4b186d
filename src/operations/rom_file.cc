#include "operations/rom_file.h"

#include <algorithm>

#include "base/atomic_file.h"
#include "base/input_file.h"
#include "charts/file_notes.h"
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

std::optional<std::vector<uint8_t>> ReadSizedFile(const Context& ctx, const std::string& path,
                                                  size_t size, std::string* note) {
  note->clear();
  InputFile file = InputFile::Open(path);
  if (!file.ok()) {
    *note = FileKindNote(ctx, file.kind());
    return std::nullopt;
  }
  // A size of 0 may hide bytes (the system's own files give 0): those are counted by reading.
  if (file.size() != 0 && file.size() != size) {
    *note = FileSizeNote(ctx, file.size(), size);
    return std::nullopt;
  }
  // One byte more than wanted tells a longer file from one of the right size.
  std::vector<uint8_t> bytes(size + 1);
  std::optional<size_t> got = file.Read(bytes);
  if (!got) return std::nullopt;
  if (*got > size) {
    *note = FileTooLongNote(ctx, size);
    return std::nullopt;
  }
  if (*got != size) {
    *note = FileSizeNote(ctx, *got, size);
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

Outcome LoadFile(const Context& ctx, PrinterLink& link) {
  std::string error;
  std::optional<std::vector<uint8_t>> bytes = ChooseAndReadSizedFile(ctx, kRomImageSize, &error);
  if (!bytes) {
    ctx.Error(error, kOpenFileCaption);
    return Outcome::NotDone(std::move(error));
  }
  RomImage image{};
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
