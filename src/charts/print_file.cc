#include "charts/print_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace tarvo {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Tells the operator how far the file has got, at most every kProgressEveryMs.
class ProgressTeller {
 public:
  static constexpr int64_t kProgressEveryMs = 250;

  ProgressTeller(const Context& ctx, uint64_t total) : ctx_(ctx), total_(total) {
    last_ms_ = ctx_.clock.NowMs();
    ctx_.op.TransferProgress(0, total_);
  }
  void Sent(uint64_t sent) {
    if (sent >= total_) {
      ctx_.op.TransferProgress(total_, total_);
      return;
    }
    const int64_t now = ctx_.clock.NowMs();
    if (now - last_ms_ < kProgressEveryMs) return;
    last_ms_ = now;
    ctx_.op.TransferProgress(sent, total_);
  }

 private:
  const Context& ctx_;
  uint64_t total_;
  int64_t last_ms_;
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
  ProgressTeller progress(ctx, remaining);
  uint64_t sent = 0;
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
      sent += piece;
      progress.Sent(sent);
    }
  }
  if (length == 0) progress.Sent(0);
  return Outcome::Done();
}

Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, std::span<const char> chars) {
  std::string name(chars.begin(), chars.end());
  return SendPrintFile(ctx, link, name);
}

}  // namespace tarvo
