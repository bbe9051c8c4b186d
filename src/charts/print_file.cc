#include "charts/print_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tarvo {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

Outcome SendPrintFile(const Context& ctx, PrinterLink& link, const std::string& path,
                      SendStats* stats) {
  // The name is opened up to its first zero character, as a C string would be.
  const std::string resolved = ctx.StationPath(path.c_str());
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(resolved.c_str(), "rb"));
  if (!file) {
    std::string error =
        std::string(ctx.Text({"Open File Error !! ", "開檔失敗!! "})) + path.c_str() + "!!";
    ctx.Error(error, "Open File");
    return Outcome::NotDone(std::move(error));
  }
  const std::string unreadable = "cannot read " + path;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return Outcome::NotDone(unreadable);
  long length = std::ftell(file.get());
  if (length < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return Outcome::NotDone(unreadable);
  const std::string_view write_error =
      ctx.Text({"Write MELoadFile Command Error !!", "寫入檔案失敗!!"});

  size_t remaining = static_cast<size_t>(length);
  std::unique_ptr<uint8_t[]> buffer;
  while (remaining != 0) {
    size_t chunk = remaining < kPrintChunkSize ? remaining : kPrintChunkSize;
    if (!buffer) {
      // Later chunks are never larger than the first.
      buffer = std::make_unique_for_overwrite<uint8_t[]>(chunk);
      if (stats) stats->buffer_size = chunk;
    }
    size_t got = std::fread(buffer.get(), 1, chunk, file.get());
    if (stats) stats->chunks.push_back(got);
    if (got != chunk) {
      // The file shrank under us: what was promised cannot be sent.
      ctx.Error(write_error, "WriteFileX");
      return Outcome::NotDone(std::string(write_error));
    }
    remaining -= chunk;
    for (size_t at = 0; at < chunk; at += kPrintPieceSize) {
      size_t piece = chunk - at < kPrintPieceSize ? chunk - at : kPrintPieceSize;
      if (stats) ++stats->writes;
      if (!link.TimedWrite(std::span<const uint8_t>(buffer.get() + at, piece))) {
        ctx.Error(write_error, "WriteFileX");
        return Outcome::TransferFailed(std::string(write_error));
      }
    }
  }
  return Outcome::Done();
}

Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, std::span<const char> chars) {
  std::string name(chars.begin(), chars.end());
  return SendPrintFile(ctx, link, name);
}

}  // namespace tarvo
