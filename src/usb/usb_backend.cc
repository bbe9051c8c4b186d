#include "usb/usb_backend.h"

#include <libusb.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "link/discovery.h"
#include "usb/usb_interfaces.h"

namespace tarvo {

namespace {

// libusb's device list, freed on every way out.
class DeviceList {
 public:
  explicit DeviceList(libusb_context* context) {
    const ssize_t n = libusb_get_device_list(context, &list_);
    size_ = n > 0 ? static_cast<size_t>(n) : 0;
  }
  ~DeviceList() {
    if (list_) libusb_free_device_list(list_, 1);
  }
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;
  std::span<libusb_device*> devices() const { return {list_, size_}; }

 private:
  libusb_device** list_ = nullptr;
  size_t size_ = 0;
};

// The configuration libusb would use: the active one, or the first if it cannot be asked.
struct Configuration {
  int value = 1;
  bool composite = false;
  std::vector<PrinterEndpoints> printers;
};

std::optional<Configuration> ReadConfiguration(libusb_device* device) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(device, &config) != 0 &&
      libusb_get_config_descriptor(device, 0, &config) != 0) {
    return std::nullopt;
  }
  Configuration out;
  out.value = config->bConfigurationValue;
  out.composite = config->bNumInterfaces > 1;
  out.printers = FindPrinterEndpoints(*config);
  libusb_free_config_descriptor(config);
  return out;
}

std::string DevicePortPath(libusb_device* device) {
  std::array<uint8_t, 8> ports{};
  const int n = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
  return PortPath(libusb_get_bus_number(device),
                  std::span<const uint8_t>(ports.data(), n > 0 ? static_cast<size_t>(n) : 0));
}

// The serial number string, or the port path when the device has none or it cannot be read.
std::string ReadSerial(libusb_device_handle* handle, const libusb_device_descriptor& descriptor,
                       const std::string& port_path) {
  if (handle && descriptor.iSerialNumber != 0) {
    std::array<unsigned char, 128> text{};
    const int n = libusb_get_string_descriptor_ascii(handle, descriptor.iSerialNumber, text.data(),
                                                     static_cast<int>(text.size()));
    if (n > 0) return std::string(reinterpret_cast<const char*>(text.data()), n);
  }
  return port_path;
}

}  // namespace

std::unique_ptr<UsbBackend> UsbBackend::Create(std::string* error) {
  libusb_context* context = nullptr;
  const int rc = libusb_init(&context);
  if (rc != 0) {
    if (error) *error = std::string("cannot initialise libusb: ") + libusb_strerror(rc);
    return nullptr;
  }
  return std::unique_ptr<UsbBackend>(new UsbBackend(context));
}

UsbBackend::UsbBackend(libusb_context* context) : context_(context) {}

UsbBackend::~UsbBackend() {
  pipes_.clear();
  for (auto& claim : claims_) Release(*claim);
  claims_.clear();
  libusb_exit(context_);
}

UsbBackend::Claim* UsbBackend::LiveClaim(const std::string& location) {
  for (auto& claim : claims_) {
    if (claim->location == location && !claim->gone) return claim.get();
  }
  return nullptr;
}

std::vector<PrinterInterface> UsbBackend::Enumerate() {
  std::vector<PrinterInterface> found;
  DeviceList list(context_);
  for (libusb_device* device : list.devices()) {
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(device, &descriptor) != 0) continue;
    const std::optional<Configuration> config = ReadConfiguration(device);
    if (!config || config->printers.empty()) continue;

    const std::string port_path = DevicePortPath(device);
    const bool supported = IsSupportedIdentity(descriptor.idVendor, descriptor.idProduct);
    auto location = [&](const PrinterEndpoints& p) {
      return InterfaceLocation(port_path, config->value, p.interface_number);
    };

    // A printer of ours that is open already answers through its claim; any other supported
    // printer is opened for a look, which also tells whether this user may use it at all.
    libusb_device_handle* handle = nullptr;
    bool own_handle = false;
    std::string open_failure;
    if (supported) {
      for (const auto& p : config->printers) {
        if (Claim* claim = LiveClaim(location(p))) handle = claim->handle;
      }
      if (!handle) {
        const int rc = libusb_open(device, &handle);
        if (rc == 0) {
          own_handle = true;
        } else {
          handle = nullptr;
          open_failure = UnusableReason(rc);
        }
      }
    }
    const std::string serial = ReadSerial(handle, descriptor, port_path);

    for (const auto& p : config->printers) {
      PrinterInterface iface;
      iface.vendor_id = descriptor.idVendor;
      iface.product_id = descriptor.idProduct;
      iface.interface_number = p.interface_number;
      iface.instance = FormatDeviceInstance(
          descriptor.idVendor, descriptor.idProduct,
          config->composite ? std::optional<int>(p.interface_number) : std::nullopt, serial);
      iface.location = location(p);
      if (!supported) {
        iface.reason = "not a supported printer";
      } else if (!handle) {
        iface.reason = open_failure;
      } else if (LiveClaim(iface.location)) {
        iface.linked = true;
      } else {
        // A kernel driver (usblp) is detached when the link opens. Without one, the interface
        // must be free: another program's claim makes it busy.
        int rc = libusb_kernel_driver_active(handle, p.interface_number);
        if (rc == 0) {
          rc = libusb_claim_interface(handle, p.interface_number);
          if (rc == 0) libusb_release_interface(handle, p.interface_number);
        }
        iface.linked = rc >= 0;
        if (rc < 0) iface.reason = UnusableReason(rc);
      }
      found.push_back(std::move(iface));
    }
    if (own_handle) libusb_close(handle);
  }
  return found;
}

std::optional<PipeHandle> UsbBackend::Open(const PrinterInterface& printer, PipeName pipe) {
  Claim* claim = LiveClaim(printer.location);
  if (!claim) {
    DeviceList list(context_);
    for (libusb_device* device : list.devices()) {
      libusb_device_descriptor descriptor;
      if (libusb_get_device_descriptor(device, &descriptor) != 0 ||
          descriptor.idVendor != printer.vendor_id || descriptor.idProduct != printer.product_id) {
        continue;
      }
      const std::optional<Configuration> config = ReadConfiguration(device);
      if (!config) continue;
      const std::string port_path = DevicePortPath(device);
      auto p = std::find_if(config->printers.begin(), config->printers.end(), [&](auto& e) {
        return InterfaceLocation(port_path, config->value, e.interface_number) == printer.location;
      });
      if (p == config->printers.end()) continue;

      libusb_device_handle* handle = nullptr;
      if (libusb_open(device, &handle) != 0) return std::nullopt;
      auto fresh = std::make_unique<Claim>();
      fresh->location = printer.location;
      fresh->handle = handle;
      fresh->interface_number = p->interface_number;
      fresh->out_endpoint = p->out_endpoint;
      fresh->in_endpoint = p->in_endpoint;
      fresh->in_max_packet = p->in_max_packet;
      fresh->serial = ReadSerial(handle, descriptor, port_path);
      if (libusb_kernel_driver_active(handle, p->interface_number) == 1) {
        fresh->usblp_detached = libusb_detach_kernel_driver(handle, p->interface_number) == 0;
      }
      bool ok = libusb_claim_interface(handle, p->interface_number) == 0;
      if (ok && p->alt_setting != 0) {
        ok = libusb_set_interface_alt_setting(handle, p->interface_number, p->alt_setting) == 0;
        if (!ok) libusb_release_interface(handle, p->interface_number);
      }
      if (!ok) {
        if (fresh->usblp_detached) libusb_attach_kernel_driver(handle, p->interface_number);
        libusb_close(handle);
        return std::nullopt;
      }
      claims_.push_back(std::move(fresh));
      claim = claims_.back().get();
      break;
    }
  }
  if (!claim) return std::nullopt;
  ++claim->pipes;
  const PipeHandle handle = next_handle_++;
  pipes_[handle] = {claim, pipe};
  return handle;
}

void UsbBackend::Release(Claim& claim) {
  if (!claim.gone) {
    libusb_release_interface(claim.handle, claim.interface_number);
    // Give the printer back to the print system.
    if (claim.usblp_detached) libusb_attach_kernel_driver(claim.handle, claim.interface_number);
  }
  libusb_close(claim.handle);
  claim.handle = nullptr;
}

bool UsbBackend::Close(PipeHandle handle) {
  auto it = pipes_.find(handle);
  if (it == pipes_.end()) return false;
  Claim* claim = it->second.first;
  pipes_.erase(it);
  if (--claim->pipes == 0) {
    Release(*claim);
    std::erase_if(claims_, [&](const auto& c) { return c.get() == claim; });
  }
  return true;
}

static void LIBUSB_CALL OnTransferDone(libusb_transfer* transfer) {
  *static_cast<int*>(transfer->user_data) = 1;
}

void UsbBackend::StopTransfers() {
  std::lock_guard<std::mutex> lock(pending_mutex_);
  stopped_ = true;
  if (pending_) libusb_cancel_transfer(pending_);
}

void UsbBackend::ResumeTransfers() {
  std::lock_guard<std::mutex> lock(pending_mutex_);
  stopped_ = false;
}

int UsbBackend::BulkTransfer(libusb_device_handle* handle, uint8_t endpoint, unsigned char* data,
                             int length, int* transferred, unsigned int timeout_ms) {
  *transferred = 0;
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    if (stopped_) return kStoppedRc;
  }
  libusb_transfer* transfer = libusb_alloc_transfer(0);
  if (!transfer) return LIBUSB_ERROR_NO_MEM;
  int done = 0;
  libusb_fill_bulk_transfer(transfer, handle, endpoint, data, length, OnTransferDone, &done,
                            timeout_ms);
  int rc = libusb_submit_transfer(transfer);
  if (rc != 0) {
    libusb_free_transfer(transfer);
    return rc;
  }
  {
    // A stop requested before the transfer was known here cancels it now.
    std::lock_guard<std::mutex> lock(pending_mutex_);
    pending_ = transfer;
    if (stopped_) libusb_cancel_transfer(transfer);
  }
  // As libusb's own synchronous transfer: handle events until this one is done; on an error of
  // the event handling, cancel it and go on until it is.
  while (!done) {
    const int events = libusb_handle_events_completed(context_, &done);
    if (events < 0 && events != LIBUSB_ERROR_INTERRUPTED) libusb_cancel_transfer(transfer);
  }
  bool stopped = false;
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    pending_ = nullptr;
    stopped = stopped_;
  }
  *transferred = transfer->actual_length;
  switch (transfer->status) {
    case LIBUSB_TRANSFER_COMPLETED:
      rc = 0;
      break;
    case LIBUSB_TRANSFER_TIMED_OUT:
      rc = LIBUSB_ERROR_TIMEOUT;
      break;
    case LIBUSB_TRANSFER_STALL:
      rc = LIBUSB_ERROR_PIPE;
      break;
    case LIBUSB_TRANSFER_NO_DEVICE:
      rc = LIBUSB_ERROR_NO_DEVICE;
      break;
    case LIBUSB_TRANSFER_OVERFLOW:
      rc = LIBUSB_ERROR_OVERFLOW;
      break;
    case LIBUSB_TRANSFER_CANCELLED:
      rc = stopped ? kStoppedRc : LIBUSB_ERROR_IO;
      break;
    default:
      rc = LIBUSB_ERROR_IO;
      break;
  }
  libusb_free_transfer(transfer);
  return rc;
}

TransferResult UsbBackend::Finish(Claim& claim, uint8_t endpoint, int rc, int transferred) {
  TransferResult result;
  result.count = transferred > 0 ? static_cast<size_t>(transferred) : 0;
  switch (rc) {
    case 0:
      result.status = TransferStatus::kOk;
      break;
    case kStoppedRc:
      result.status = TransferStatus::kStopped;
      break;
    case LIBUSB_ERROR_TIMEOUT:
      result.status = TransferStatus::kTimeout;
      break;
    case LIBUSB_ERROR_NO_DEVICE:
      claim.gone = true;
      result.status = TransferStatus::kError;
      break;
    case LIBUSB_ERROR_PIPE:
      // A stalled pipe stays stalled until cleared; the next transfer gets a fresh start.
      libusb_clear_halt(claim.handle, endpoint);
      result.status = TransferStatus::kError;
      break;
    default:
      result.status = TransferStatus::kError;
      break;
  }
  return result;
}

TransferResult UsbBackend::Write(PipeHandle handle, std::span<const uint8_t> data,
                                 uint32_t timeout_ms) {
  auto it = pipes_.find(handle);
  if (it == pipes_.end() || it->second.second != PipeName::kWrite) return {};
  Claim& claim = *it->second.first;
  if (claim.gone || data.size() > static_cast<size_t>(INT_MAX)) return {};
  int transferred = 0;
  // libusb takes a mutable buffer for both directions; an OUT transfer only reads it.
  const int rc =
      BulkTransfer(claim.handle, claim.out_endpoint, const_cast<unsigned char*>(data.data()),
                   static_cast<int>(data.size()), &transferred, TransferTimeout(timeout_ms));
  TransferResult result = Finish(claim, claim.out_endpoint, rc, transferred);
  // A write moves all of its data or fails.
  if (result.ok() && result.count != data.size()) result.status = TransferStatus::kError;
  return result;
}

TransferResult UsbBackend::Read(PipeHandle handle, std::span<uint8_t> buffer, uint32_t timeout_ms) {
  auto it = pipes_.find(handle);
  if (it == pipes_.end() || it->second.second != PipeName::kRead) return {};
  Claim& claim = *it->second.first;
  if (claim.gone) return {};
  std::vector<uint8_t> transfer(ReadTransferSize(buffer.size(), claim.in_max_packet));
  if (transfer.size() > static_cast<size_t>(INT_MAX)) return {};
  int transferred = 0;
  const int rc =
      BulkTransfer(claim.handle, claim.in_endpoint, transfer.data(),
                   static_cast<int>(transfer.size()), &transferred, TransferTimeout(timeout_ms));
  TransferResult result = Finish(claim, claim.in_endpoint, rc, transferred);
  result.count = std::min(result.count, buffer.size());
  if (result.ok()) std::copy_n(transfer.begin(), result.count, buffer.begin());
  return result;
}

}  // namespace tarvo
