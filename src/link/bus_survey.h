#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// What a backend can tell about the supported printers on the bus beyond Enumerate(): where each
// one's device node is, whether this process could open it, and who holds its printer interfaces.
// For telling a person why a printer cannot be used; the link never reads it.

// One printer-class interface of a surveyed printer.
struct SurveyedInterface {
  int number = 0;
  // The kernel driver bound to it ("usblp"), "" when none is; nothing when it could not be asked.
  std::optional<std::string> kernel_driver;
  // Another program has claimed it. Known only when the device could be opened and no kernel
  // driver holds the interface.
  bool claimed_elsewhere = false;
};

// How opening the device went for this process.
enum class DeviceAccess { kOpened, kDenied, kGone, kOther };

struct SurveyedPrinter {
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  int bus = 0;
  int address = 0;
  std::string port_path;    // "1-2.3"
  std::string device_node;  // "/dev/bus/usb/001/004"
  DeviceAccess access = DeviceAccess::kOther;
  std::string open_error;  // the system's words when it was not opened
  std::vector<SurveyedInterface> interfaces;
};

struct BusSurvey {
  bool readable = false;                  // the device list could be read
  std::string problem;                    // why not
  int devices = 0;                        // devices of any kind on the bus
  std::vector<SurveyedPrinter> printers;  // the supported ones, in the bus's order
};

}  // namespace tarvo
