#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/bus_survey.h"

namespace tarvo {

// The printer's two pipes: commands, remote packets and print data go out on PIPE00, replies come
// in on PIPE01.
enum class PipeName { kWrite, kRead };
inline std::string_view PipeLabel(PipeName pipe) {
  return pipe == PipeName::kWrite ? "PIPE00" : "PIPE01";
}

// One attached printer interface as a backend sees it.
struct PrinterInterface {
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  int interface_number = 0;
  // The device instance, "USB\VID_0A3C&PID_8802&MI_00\<serial>" (the "&MI_nn" part only for an
  // interface of a composite device). Discovery compares its prefix, ignoring case.
  std::string instance;
  bool linked = false;   // usable now
  std::string reason;    // why it is not linked, for `tarvo-cli list`
  std::string location;  // the backend's own name for it, handed back to Open()
};

using PipeHandle = int;

// kStopped: cut short by StopTransfers().
enum class TransferStatus { kOk, kTimeout, kError, kStopped };

struct TransferResult {
  TransferStatus status = TransferStatus::kError;
  size_t count = 0;  // bytes moved
  bool ok() const { return status == TransferStatus::kOk; }
};

// A way of reaching printers: libusb, the simulated printer, or nothing at all. The printer link
// keeps the logic (discovery rules, retries, reply reading, time limits); a backend only lists
// interfaces and moves bytes.
//
// Threads: every call comes from the device thread, through the printer link, except
// StopTransfers(), which the link's stop hook makes from whichever thread requests the stop.
class LinkBackend {
 public:
  virtual ~LinkBackend() = default;

  // The printer interfaces attached now, in the system's enumeration order. Does not block for
  // long. Lists interfaces of any USB identity; discovery picks the supported ones.
  virtual std::vector<PrinterInterface> Enumerate() = 0;

  // Opens one pipe of an interface returned by Enumerate(). Returns a handle (> 0), or nothing
  // when the interface is gone or cannot be used.
  virtual std::optional<PipeHandle> Open(const PrinterInterface& printer, PipeName pipe) = 0;

  // Closes a handle returned by Open(). Returns false for a handle that is not open.
  virtual bool Close(PipeHandle handle) = 0;

  // One transfer on a pipe. Blocks until the transfer is done, failed, or `timeout_ms` has passed;
  // a transfer still pending then is cancelled and reported as kTimeout. A write moves all of
  // `data` or fails; a read hands back at most `buffer.size()` bytes of one transfer.
  virtual TransferResult Write(PipeHandle handle, std::span<const uint8_t> data,
                               uint32_t timeout_ms) = 0;
  virtual TransferResult Read(PipeHandle handle, std::span<uint8_t> buffer,
                              uint32_t timeout_ms) = 0;

  // Any thread: the transfer pending now ends at once as kStopped, and so does every transfer
  // started later, until ResumeTransfers(). What a cut-short write has moved is not known. A
  // backend that cannot cut a transfer short lets it run to its end (the default).
  virtual void StopTransfers() {}
  // Device thread, with no transfer pending: transfers run again.
  virtual void ResumeTransfers() {}

  // Device thread, with no pipe open: what the bus shows of the supported printers, for telling
  // a person why none can be used. Opens each briefly, claims nothing for longer than the look.
  // Nothing from a backend that has no bus to look at (the default).
  virtual std::optional<BusSurvey> Survey() { return std::nullopt; }
};

// No printers, ever. Lets everything build and run where no other backend is available.
class NullBackend : public LinkBackend {
 public:
  std::vector<PrinterInterface> Enumerate() override { return {}; }
  std::optional<PipeHandle> Open(const PrinterInterface&, PipeName) override { return {}; }
  bool Close(PipeHandle) override { return false; }
  TransferResult Write(PipeHandle, std::span<const uint8_t>, uint32_t) override { return {}; }
  TransferResult Read(PipeHandle, std::span<uint8_t>, uint32_t) override { return {}; }
};

}  // namespace tarvo
