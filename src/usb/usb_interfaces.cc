#include "usb/usb_interfaces.h"

#include <libusb.h>

#include <algorithm>

#include "link/discovery.h"
#include "usb/usb_backend.h"

namespace tarvo {

namespace {

constexpr uint8_t kPrinterClass = 7;

bool IsBulk(const libusb_endpoint_descriptor& ep) {
  return (ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) == LIBUSB_TRANSFER_TYPE_BULK;
}

}  // namespace

std::vector<PrinterEndpoints> FindPrinterEndpoints(const libusb_config_descriptor& config) {
  std::vector<PrinterEndpoints> found;
  for (int i = 0; i < config.bNumInterfaces; ++i) {
    const libusb_interface& iface = config.interface[i];
    for (int a = 0; a < iface.num_altsetting; ++a) {
      const libusb_interface_descriptor& alt = iface.altsetting[a];
      if (alt.bInterfaceClass != kPrinterClass) continue;
      PrinterEndpoints p;
      p.interface_number = alt.bInterfaceNumber;
      p.alt_setting = alt.bAlternateSetting;
      for (int e = 0; e < alt.bNumEndpoints; ++e) {
        const libusb_endpoint_descriptor& ep = alt.endpoint[e];
        if (!IsBulk(ep)) continue;
        const bool in = (ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN;
        if (in && p.in_endpoint == 0) {
          p.in_endpoint = ep.bEndpointAddress;
          p.in_max_packet = ep.wMaxPacketSize;
        } else if (!in && p.out_endpoint == 0) {
          p.out_endpoint = ep.bEndpointAddress;
        }
      }
      // A unidirectional setting cannot carry replies; a later alternate may.
      if (p.in_endpoint != 0 && p.out_endpoint != 0) {
        found.push_back(p);
        break;
      }
    }
  }
  return found;
}

bool IsSupportedIdentity(uint16_t vendor_id, uint16_t product_id) {
  return std::any_of(kSupportedDevices.begin(), kSupportedDevices.end(), [&](const auto& d) {
    return d.vendor_id == vendor_id && d.product_id == product_id;
  });
}

std::string PortPath(uint8_t bus, std::span<const uint8_t> ports) {
  if (ports.empty()) return "usb" + std::to_string(bus);
  std::string path = std::to_string(bus) + "-";
  for (size_t i = 0; i < ports.size(); ++i) {
    if (i > 0) path += ".";
    path += std::to_string(ports[i]);
  }
  return path;
}

std::string InterfaceLocation(const std::string& port_path, int configuration, int interface) {
  return port_path + ":" + std::to_string(configuration) + "." + std::to_string(interface);
}

std::string UnusableReason(int libusb_error) {
  switch (libusb_error) {
    case LIBUSB_ERROR_ACCESS:
      return UsbBackend::kPermissionHint;
    case LIBUSB_ERROR_BUSY:
      return "in use by another program";
    case LIBUSB_ERROR_NO_DEVICE:
      return "unplugged";
    default:
      return std::string("cannot open the device: ") + libusb_strerror(libusb_error);
  }
}

size_t ReadTransferSize(size_t requested, uint16_t max_packet) {
  if (max_packet == 0) return std::max<size_t>(requested, 1);
  const size_t packets = std::max<size_t>(1, (requested + max_packet - 1) / max_packet);
  return packets * max_packet;
}

unsigned int TransferTimeout(uint32_t timeout_ms) {
  return timeout_ms == 0 ? 1 : timeout_ms;
}

}  // namespace tarvo
