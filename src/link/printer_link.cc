#include "link/printer_link.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/wait_windows.h"
#include "link/discovery.h"

namespace tarvo {

PrinterLink::PrinterLink(const Context& ctx, LinkBackend& backend) : ctx_(ctx), backend_(backend) {}

PrinterLink::~PrinterLink() {
  CloseIfOpen(read_);
  CloseIfOpen(write_);
}

std::optional<PipeHandle> PrinterLink::OpenPipe(PipeName pipe) {
  // Discovery runs at every open, so a printer replaced between steps is found again.
  std::optional<PipeHandle> handle;
  if (auto printer = FindPrinterInterface(backend_)) handle = backend_.Open(*printer, pipe);
  ctx_.wire.PipeOpened(PipeLabel(pipe), handle.has_value());
  return handle;
}

void PrinterLink::CloseIfOpen(std::optional<PipeHandle>& handle) {
  if (handle) backend_.Close(*handle);
  handle.reset();
}

bool PrinterLink::HandleOpen() {
  if (write_ || read_) HandleClose();

  auto attempt = [this] {
    write_ = OpenPipe(PipeName::kWrite);
    read_ = OpenPipe(PipeName::kRead);
    if (is_open()) return true;
    // Half an open link is of no use; do not keep a pipe from a failed attempt.
    CloseIfOpen(read_);
    CloseIfOpen(write_);
    return false;
  };

  bool open = attempt();
  if (!open) {
    WaitWindowGuard window(ctx_.op, ConnectWindow(ctx_.edition, kOpenRetries));
    for (int i = 0; i < kOpenRetries && !open; ++i) {
      ctx_.Wait(kOpenRetryWaitMs);
      open = attempt();
    }
  }
  if (!open) ctx_.Error(ctx_.Text({"Print Off line !!", "印表機離線!!"}), "ERROR");
  return open;
}

bool PrinterLink::HandleClose() {
  bool was_open = write_.has_value() || read_.has_value();
  if (read_) backend_.Close(*read_);
  read_.reset();
  bool closed = write_ && backend_.Close(*write_);
  write_.reset();
  if (was_open) ctx_.wire.Closed();
  return closed;
}

template <typename Transfer>
TransferResult PrinterLink::Stoppable(Transfer&& transfer, bool* stopped) {
  StopRequest* stop = ctx_.stop;
  *stopped = false;
  if (!stop) return transfer();
  if (stop->requested()) {
    *stopped = true;
    return {TransferStatus::kStopped, 0};
  }
  TransferResult result;
  {
    // A request made while the hook lives cuts the transfer short; one made just before the
    // transfer starts is kept by the backend until ResumeTransfers().
    StopRequest::Hook hook(stop, [this] { backend_.StopTransfers(); });
    result = transfer();
  }
  if (stop->requested()) {
    // No hook runs any more: the backend may take transfers again, for the next operation.
    backend_.ResumeTransfers();
    *stopped = true;
  }
  return result;
}

bool PrinterLink::TimedWrite(std::span<const uint8_t> data, uint32_t wait_ms) {
  bool stopped = false;
  TransferResult result;
  if (write_) {
    result = Stoppable([&] { return backend_.Write(*write_, data, wait_ms); }, &stopped);
  }
  if (result.ok()) {
    ctx_.wire.Written(data);
  } else {
    ctx_.wire.WriteFailed(data);
  }
  if (stopped) throw OperationStopped();
  return result.ok();
}

bool PrinterLink::TimedRead(std::span<uint8_t> buffer, uint32_t wait_ms, size_t* count) {
  bool stopped = false;
  TransferResult result;
  ctx_.wire.Flush();  // a read may block until its time limit
  if (read_) result = Stoppable([&] { return backend_.Read(*read_, buffer, wait_ms); }, &stopped);
  if (count) *count = result.ok() ? result.count : 0;
  if (result.ok()) {
    ctx_.wire.Read(buffer.first(std::min(result.count, buffer.size())));
  } else {
    ctx_.wire.ReadFailed();
  }
  if (stopped) throw OperationStopped();
  return result.ok();
}

bool PrinterLink::IsStatusFrame(std::span<const uint8_t> transfer) {
  if (transfer.empty()) return false;
  if (transfer[0] == 0x40) return true;
  if (transfer.size() < 2) return false;
  static constexpr const char* kFrames[] = {"ST", "ER", "WR", "IQ", "TC", "RC", "FF"};
  return std::any_of(std::begin(kFrames), std::end(kFrames), [&](const char* f) {
    return transfer[0] == static_cast<uint8_t>(f[0]) && transfer[1] == static_cast<uint8_t>(f[1]);
  });
}

bool PrinterLink::ReadReply(std::span<uint8_t> dest) {
  const ReplyLimits limits = ctx_.edition.reply_limits;
  const int64_t start = ctx_.clock.NowMs();
  std::array<uint8_t, kReplyBufferSize> reply;
  const size_t length = std::min(dest.size(), reply.size());
  for (;;) {
    // Cleared before each read, so a short reply never carries bytes of an earlier one.
    reply.fill(0);
    size_t count = 0;
    if (!TimedRead(std::span(reply).first(kReplyReadSize), limits.read_wait_ms, &count)) {
      return false;
    }
    if (!IsStatusFrame(std::span(reply).first(count))) {
      std::memcpy(dest.data(), reply.data(), length);
      return true;
    }
    ctx_.Wait(limits.status_pause_ms);
    if (ctx_.clock.NowMs() - start > limits.status_cap_ms) return false;
  }
}

}  // namespace tarvo
