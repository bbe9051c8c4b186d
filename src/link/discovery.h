#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link_backend.h"

namespace tarvo {

// The printers this tool drives, by the prefix of their device instance.
struct SupportedDevice {
  int number;  // 1 to 6
  uint16_t vendor_id;
  uint16_t product_id;
  std::string_view instance_prefix;
};

inline constexpr std::array<SupportedDevice, 6> kSupportedDevices = {{
    {1, 0x0A3C, 0x7251, "USB\\VID_0A3C&PID_7251"},
    {2, 0x0A3C, 0x7253, "USB\\VID_0A3C&PID_7253"},
    {3, 0x0A3C, 0x8801, "USB\\VID_0A3C&PID_8801"},
    {4, 0x0A3C, 0x8802, "USB\\VID_0A3C&PID_8802&MI_00"},  // a composite device: interface 0 only
    {5, 0x0B7D, 0x0005, "USB\\VID_0B7D&PID_0005"},
    {6, 0x0B7D, 0x080C, "USB\\VID_0B7D&PID_080C"},
}};

// "USB\VID_vvvv&PID_pppp[&MI_nn]\serial", as the system names a device instance; the "&MI_nn"
// part is present for an interface of a composite device.
std::string FormatDeviceInstance(uint16_t vendor_id, uint16_t product_id,
                                 std::optional<int> composite_interface, std::string_view serial);

// The supported device whose prefix the instance starts with (case ignored), if any.
const SupportedDevice* MatchSupportedDevice(std::string_view instance);

// Finds the printer to open: of the supported interfaces that are linked, the last one in the
// backend's enumeration order.
std::optional<PrinterInterface> FindPrinterInterface(LinkBackend& backend);

}  // namespace tarvo
