#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "base/context.h"
#include "link/link_backend.h"

namespace tarvo {

// The link to one printer: its write pipe ("PIPE00") and read pipe ("PIPE01"), opened by
// HandleOpen and released by HandleClose. Every transfer of the device layer goes through here.
// One device operation at a time, on the device thread; not thread-safe. A stop request of the
// context cuts a pending transfer short (through LinkBackend::StopTransfers) and makes
// TimedWrite and TimedRead throw OperationStopped; the link stays open for the front end to close.
class PrinterLink {
 public:
  static constexpr size_t kReplyBufferSize = 200;  // largest reply a caller asks for
  static constexpr size_t kReplyReadSize = 128;    // each read asks for this much
  static constexpr int kOpenRetries = 10;
  static constexpr int64_t kOpenRetryWaitMs = 1000;

  PrinterLink(const Context& ctx, LinkBackend& backend);
  ~PrinterLink();
  PrinterLink(const PrinterLink&) = delete;
  PrinterLink& operator=(const PrinterLink&) = delete;

  // Opens both pipes of the supported printer found now. While either fails, shows the "Connect"
  // window and tries again once a second, ten times; then tells the operator the printer is off
  // line and returns false. A link that is already open is closed first.
  bool HandleOpen();

  // Closes the read pipe, then the write pipe. Returns whether the write pipe was open and closed;
  // false (and nothing closed) when the link was not open.
  bool HandleClose();

  bool is_open() const { return write_.has_value() && read_.has_value(); }

  // One write on the write pipe, waiting at most `wait_ms`. False when the link is not open, the
  // transfer fails, or it times out (it is then cancelled). Throws OperationStopped when a stop
  // is requested before or during the transfer (logged as a failed write).
  bool TimedWrite(std::span<const uint8_t> data, uint32_t wait_ms = Edition::kWriteWaitMs);

  // One read on the read pipe, waiting at most `wait_ms`; `*count` gets the bytes read. Stopped
  // as TimedWrite is.
  bool TimedRead(std::span<uint8_t> buffer, uint32_t wait_ms, size_t* count = nullptr);

  // Reads the printer's answer to a command, skipping the status frames it sends on its own.
  // On success the first dest.size() bytes (at most 200) of the reply buffer are copied to `dest`
  // and true is returned; a reply shorter than that leaves zeros in the rest. On failure (a read
  // fails or times out, or status frames keep coming past the edition's cap) `dest` is untouched.
  bool ReadReply(std::span<uint8_t> dest);

  // A transfer the printer sends on its own: first byte '@', or first two bytes exactly one of
  // "ST", "ER", "WR", "IQ", "TC", "RC", "FF".
  static bool IsStatusFrame(std::span<const uint8_t> transfer);

  const Context& context() const { return ctx_; }

 private:
  std::optional<PipeHandle> OpenPipe(PipeName pipe);
  // Runs one backend transfer under the context's stop request. `stopped` tells the caller to
  // throw OperationStopped once it has logged the transfer.
  template <typename Transfer>
  TransferResult Stoppable(Transfer&& transfer, bool* stopped);
  void CloseIfOpen(std::optional<PipeHandle>& handle);

  const Context& ctx_;
  LinkBackend& backend_;
  std::optional<PipeHandle> write_;
  std::optional<PipeHandle> read_;
};

}  // namespace tarvo
