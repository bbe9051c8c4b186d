// The look at the bus that tells a person why a printer cannot be used.
#include <libusb.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "usb/usb_backend.h"
#include "usb/usb_interfaces.h"

namespace tarvo {
namespace {

std::string DeviceNode(int bus, int address) {
  char path[32];
  std::snprintf(path, sizeof path, "/dev/bus/usb/%03d/%03d", bus, address);
  return path;
}

// The driver the kernel bound to an interface, read from sysfs where the device itself may not
// be opened; nothing when sysfs does not show the interface.
std::optional<std::string> SysfsDriver(const std::string& interface_name) {
  const std::filesystem::path dir = std::filesystem::path("/sys/bus/usb/devices") / interface_name;
  std::error_code ec;
  if (!std::filesystem::exists(dir, ec)) return std::nullopt;
  const std::filesystem::path driver = std::filesystem::read_symlink(dir / "driver", ec);
  if (ec) return std::string();
  return driver.filename().string();
}

// Who holds a printer interface, asked through an open device handle. The claim test is what
// the link's open would meet: a kernel driver is detached then, another program's claim is not.
SurveyedInterface AskInterface(libusb_device_handle* handle, int number) {
  SurveyedInterface out;
  out.number = number;
  const int active = libusb_kernel_driver_active(handle, number);
  if (active == 1) {
    // The only kernel driver that binds a printer-class interface.
    out.kernel_driver = "usblp";
  } else if (active == 0) {
    out.kernel_driver = "";
    const int rc = libusb_claim_interface(handle, number);
    if (rc == 0) {
      libusb_release_interface(handle, number);
    } else if (rc == LIBUSB_ERROR_BUSY) {
      out.claimed_elsewhere = true;
    }
  }
  return out;
}

}  // namespace

std::optional<BusSurvey> UsbBackend::Survey() {
  BusSurvey survey;
  libusb_device** list = nullptr;
  const ssize_t n = libusb_get_device_list(context_, &list);
  if (n < 0) {
    survey.problem =
        std::string("the USB device list cannot be read: ") + libusb_strerror(static_cast<int>(n));
    return survey;
  }
  survey.readable = true;
  survey.devices = static_cast<int>(n);
  for (ssize_t i = 0; i < n; ++i) {
    libusb_device* device = list[i];
    libusb_device_descriptor descriptor;
    if (libusb_get_device_descriptor(device, &descriptor) != 0 ||
        !IsSupportedIdentity(descriptor.idVendor, descriptor.idProduct)) {
      continue;
    }
    SurveyedPrinter printer;
    printer.vendor_id = descriptor.idVendor;
    printer.product_id = descriptor.idProduct;
    printer.bus = libusb_get_bus_number(device);
    printer.address = libusb_get_device_address(device);
    std::array<uint8_t, 8> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    printer.port_path = PortPath(
        static_cast<uint8_t>(printer.bus),
        std::span<const uint8_t>(ports.data(), depth > 0 ? static_cast<size_t>(depth) : 0));
    printer.device_node = DeviceNode(printer.bus, printer.address);

    int configuration = 1;
    std::vector<PrinterEndpoints> endpoints;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) == 0 ||
        libusb_get_config_descriptor(device, 0, &config) == 0) {
      configuration = config->bConfigurationValue;
      endpoints = FindPrinterEndpoints(*config);
      libusb_free_config_descriptor(config);
    }

    libusb_device_handle* handle = nullptr;
    const int rc = libusb_open(device, &handle);
    if (rc == 0) {
      printer.access = DeviceAccess::kOpened;
    } else {
      handle = nullptr;
      printer.access = rc == LIBUSB_ERROR_ACCESS      ? DeviceAccess::kDenied
                       : rc == LIBUSB_ERROR_NO_DEVICE ? DeviceAccess::kGone
                                                      : DeviceAccess::kOther;
      printer.open_error = libusb_strerror(rc);
    }
    for (const PrinterEndpoints& p : endpoints) {
      if (handle) {
        printer.interfaces.push_back(AskInterface(handle, p.interface_number));
      } else {
        SurveyedInterface iface;
        iface.number = p.interface_number;
        iface.kernel_driver =
            SysfsDriver(InterfaceLocation(printer.port_path, configuration, p.interface_number));
        printer.interfaces.push_back(std::move(iface));
      }
    }
    if (handle) libusb_close(handle);
    survey.printers.push_back(std::move(printer));
  }
  libusb_free_device_list(list, 1);
  return survey;
}

}  // namespace tarvo
