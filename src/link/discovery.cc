#include "link/discovery.h"

#include <cctype>
#include <cstdio>

namespace tarvo {

std::string FormatDeviceInstance(uint16_t vendor_id, uint16_t product_id,
                                 std::optional<int> composite_interface, std::string_view serial) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "USB\\VID_%04X&PID_%04X", vendor_id, product_id);
  std::string out = buf;
  if (composite_interface) {
    std::snprintf(buf, sizeof buf, "&MI_%02d", *composite_interface);
    out += buf;
  }
  out += "\\";
  out += serial;
  return out;
}

static bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) !=
        std::toupper(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

const SupportedDevice* MatchSupportedDevice(std::string_view instance) {
  for (const auto& device : kSupportedDevices) {
    if (StartsWithIgnoringCase(instance, device.instance_prefix)) return &device;
  }
  return nullptr;
}

std::optional<PrinterInterface> FindPrinterInterface(LinkBackend& backend) {
  std::optional<PrinterInterface> found;
  for (auto& iface : backend.Enumerate()) {
    // Every interface is looked at; the last match wins, as the station has always done it.
    if (iface.linked && MatchSupportedDevice(iface.instance)) found = std::move(iface);
  }
  return found;
}

}  // namespace tarvo
