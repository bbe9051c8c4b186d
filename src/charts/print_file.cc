#include "charts/print_file.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "base/input_file.h"
#include "charts/file_notes.h"

namespace tarvo {
namespace {

// Tells the operator how far the file has got, at most every kProgressEveryMs. The total is the
// size the file gave; the end is told by Finished, with what was sent.
class ProgressTeller {
 public:
  static constexpr int64_t kProgressEveryMs = 250;

  ProgressTeller(const Context& ctx, uint64_t total) : ctx_(ctx), total_(total) {
    last_ms_ = ctx_.clock.NowMs();
    ctx_.op.TransferProgress(0, total_);
  }
  void Sent(uint64_t sent) {
    if (sent >= total_) return;  // never told as finished before the file has ended
    const int64_t now = ctx_.clock.NowMs();
    if (now - last_ms_ < kProgressEveryMs) return;
    last_ms_ = now;
    ctx_.op.TransferProgress(sent, total_);
  }
  void Finished(uint64_t sent) { ctx_.op.TransferProgress(sent, sent); }

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
  const std::string open_error =
      std::string(ctx.Text({"Open File Error !! ", "開檔失敗!! "})) + path.c_str() + "!!";
  auto refuse = [&](const std::string& note) {
    std::string error = open_error + note;
    ctx.Error(error, "Open File");
    return Outcome::NotDone(std::move(error));
  };
  // Only a regular file: a named pipe or a device would hold the operation up for good.
  InputFile file = InputFile::Open(resolved);
  if (!file.ok()) {
    // A missing file: say where it was looked for, which a relative name does not tell.
    return refuse(FileKindNote(ctx, file.kind()) +
                  (file.kind() == FileKind::kMissing ? FolderNote(ctx, path.c_str()) : ""));
  }
  const std::string_view write_error =
      ctx.Text({"Write MELoadFile Command Error !!", "寫入檔案失敗!!"});

  // Later chunks are never larger than the first. A file whose size says 0 may still hold
  // bytes (the system's own files do): it is read to its end in chunks of the largest size.
  const uint64_t said = file.size();
  const size_t buffer_size =
      said == 0 ? kPrintChunkSize : static_cast<size_t>(std::min<uint64_t>(said, kPrintChunkSize));
  auto buffer = std::make_unique_for_overwrite<uint8_t[]>(buffer_size);
  if (stats) stats->buffer_size = buffer_size;
  std::optional<ProgressTeller> progress;
  uint64_t sent = 0;
  for (;;) {
    std::optional<size_t> got = file.Read(std::span(buffer.get(), buffer_size));
    if (!got) return refuse("");
    if (*got == 0) break;
    if (stats) stats->chunks.push_back(*got);
    if (!progress) progress.emplace(ctx, std::max<uint64_t>(said, *got));
    for (size_t at = 0; at < *got; at += kPrintPieceSize) {
      const size_t piece = std::min(*got - at, kPrintPieceSize);
      if (stats) ++stats->writes;
      if (!link.TimedWrite(std::span<const uint8_t>(buffer.get() + at, piece))) {
        ctx.Error(write_error, "WriteFileX");
        return Outcome::TransferFailed(std::string(write_error));
      }
      sent += piece;
      progress->Sent(sent);
    }
  }
  // An empty print or firmware file would pass for one that went out.
  if (sent == 0) return refuse(EmptyFileNote(ctx));
  progress->Finished(sent);
  return Outcome::Done();
}

Outcome MELoadFilePtr(const Context& ctx, PrinterLink& link, std::span<const char> chars) {
  std::string name(chars.begin(), chars.end());
  return SendPrintFile(ctx, link, name);
}

}  // namespace tarvo
