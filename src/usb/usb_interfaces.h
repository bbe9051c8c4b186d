#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct libusb_config_descriptor;

namespace tarvo {

// The two bulk pipes of one printer-class interface.
struct PrinterEndpoints {
  int interface_number = 0;
  int alt_setting = 0;
  uint8_t out_endpoint = 0;  // PIPE00
  uint8_t in_endpoint = 0;   // PIPE01
  uint16_t in_max_packet = 0;
};

// The printer-class interfaces of a configuration that have both a bulk OUT and a bulk IN
// endpoint, in interface order; of an interface's alternate settings the first such one.
std::vector<PrinterEndpoints> FindPrinterEndpoints(const libusb_config_descriptor& config);

// Whether the vendor and product are one of the printers this tool drives.
bool IsSupportedIdentity(uint16_t vendor_id, uint16_t product_id);

// The kernel's name of a device by where it is plugged in: "1-2.3" (bus 1, port 3 of the hub on
// port 2). A root hub has no ports: "usb1".
std::string PortPath(uint8_t bus, std::span<const uint8_t> ports);

// "1-2.3:1.0": interface 0 in configuration 1 of that device.
std::string InterfaceLocation(const std::string& port_path, int configuration, int interface);

// Why a device or interface could not be used, from a libusb error code, for `tarvo-cli list`.
std::string UnusableReason(int libusb_error);

// The buffer a bulk IN transfer reads into: what the caller asks, rounded up to whole packets,
// and never less than one packet, so a packet longer than the request is not an overflow.
size_t ReadTransferSize(size_t requested, uint16_t max_packet);

// libusb's time limit for a transfer; 0 would mean no limit there, so it becomes 1 ms.
unsigned int TransferTimeout(uint32_t timeout_ms);

}  // namespace tarvo
