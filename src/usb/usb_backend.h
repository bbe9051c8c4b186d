#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/link_backend.h"

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

namespace tarvo {

// Printers on the USB bus, through libusb.
//
// Enumerate() lists every printer-class interface (USB class 7) that has a bulk OUT and a bulk
// IN endpoint, in libusb's device order; the supported identities are tried for use (the device
// opened, the interface free), any other identity is listed as not linked. Location strings are
// the kernel's interface names, "<bus>-<port>[.<port>...]:<config>.<interface>".
//
// Open() of the two pipes of one interface shares one device handle. While it is open the
// interface is claimed, and the kernel's printer driver (usblp) is detached if it held the
// interface; closing the last pipe releases the interface and gives the driver back, so the
// print system can use the printer again.
//
// A transfer is one libusb asynchronous transfer, submitted and run to its end by the calling
// thread's libusb event handling. Every call comes from the device thread, like the printer link
// that drives it, except StopTransfers(): from any thread, it cancels the pending transfer with
// libusb_cancel_transfer (the kernel discards its URBs), so a read waiting for a silent printer
// ends at once instead of at its timeout.
class UsbBackend : public LinkBackend {
 public:
  // Nothing (and `*error` set, if given) when libusb cannot be initialised.
  static std::unique_ptr<UsbBackend> Create(std::string* error);
  ~UsbBackend() override;
  UsbBackend(const UsbBackend&) = delete;
  UsbBackend& operator=(const UsbBackend&) = delete;

  std::vector<PrinterInterface> Enumerate() override;
  std::optional<PipeHandle> Open(const PrinterInterface& printer, PipeName pipe) override;
  bool Close(PipeHandle handle) override;
  TransferResult Write(PipeHandle handle, std::span<const uint8_t> data,
                       uint32_t timeout_ms) override;
  TransferResult Read(PipeHandle handle, std::span<uint8_t> buffer, uint32_t timeout_ms) override;
  void StopTransfers() override;
  void ResumeTransfers() override;
  // Also answers where no printer is open of this backend (usb_survey.cc).
  std::optional<BusSurvey> Survey() override;

  // What `tarvo-cli list` shows when the printer's device node may not be opened.
  static constexpr const char* kPermissionHint =
      "no permission to open the device: install the udev rule 60-tarvo-printers.rules and join "
      "group tarvo (see docs/usb.md)";

 private:
  // One claimed interface, shared by the pipes opened on it.
  struct Claim {
    std::string location;
    libusb_device_handle* handle = nullptr;
    int interface_number = 0;
    uint8_t out_endpoint = 0;
    uint8_t in_endpoint = 0;
    uint16_t in_max_packet = 0;
    bool usblp_detached = false;
    bool gone = false;  // the printer left the bus; every transfer fails until it is closed
    int pipes = 0;
    std::string serial;
  };

  explicit UsbBackend(libusb_context* context);
  Claim* LiveClaim(const std::string& location);
  void Release(Claim& claim);
  TransferResult Finish(Claim& claim, uint8_t endpoint, int rc, int transferred);
  // One bulk transfer, as libusb_bulk_transfer but cancellable; kStoppedRc when cut short.
  int BulkTransfer(libusb_device_handle* handle, uint8_t endpoint, unsigned char* data, int length,
                   int* transferred, unsigned int timeout_ms);
  static constexpr int kStoppedRc = 1;  // beside libusb's codes, which are 0 or negative

  libusb_context* context_;
  std::vector<std::unique_ptr<Claim>> claims_;
  std::map<PipeHandle, std::pair<Claim*, PipeName>> pipes_;
  PipeHandle next_handle_ = 1;

  std::mutex pending_mutex_;            // guards the two below, shared with StopTransfers()
  libusb_transfer* pending_ = nullptr;  // the transfer submitted now
  bool stopped_ = false;
};

}  // namespace tarvo
