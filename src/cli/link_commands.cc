// Commands of the printer link: list, HandleOpen, HandleClose.
#include <iomanip>
#include <sstream>

#include "cli/command.h"
#include "cli/session.h"
#include "link/discovery.h"

namespace tarvo::cli {
namespace {

std::string Identity(const PrinterInterface& p) {
  std::ostringstream s;
  s << std::hex << std::setfill('0') << std::setw(4) << p.vendor_id << ":" << std::setw(4)
    << p.product_id << std::dec << " interface " << p.interface_number;
  return s.str();
}

int List(Session& s, std::span<const std::string>) {
  int supported = 0;
  for (const auto& p : s.backend.Enumerate()) {
    const SupportedDevice* device = MatchSupportedDevice(p.instance);
    s.out << Identity(p) << "  " << p.instance;
    if (device) {
      ++supported;
      s.out << "  device " << device->number;
    } else {
      s.out << "  not supported";
    }
    if (p.linked) {
      s.out << "  usable";
    } else {
      s.out << "  not usable: " << (p.reason.empty() ? "not linked" : p.reason);
    }
    s.out << "\n";
  }
  if (supported == 0) s.out << "No supported printer is attached.\n";
  return kExitOk;
}

int Open(Session& s, std::span<const std::string>) {
  if (!s.link.HandleOpen()) {
    s.out << "HandleOpen: 0 (off line)\n";
    return kExitOffline;
  }
  auto printer = FindPrinterInterface(s.backend);
  s.out << "HandleOpen: 1 (" << (printer ? printer->instance : std::string("?")) << ")\n";
  return kExitOk;
}

int Close(Session& s, std::span<const std::string>) {
  bool closed = s.link.HandleClose();
  s.out << "HandleClose: " << (closed ? 1 : 0) << "\n";
  return closed ? kExitOk : kExitFailed;
}

const bool registered =
    RegisterCommand({.name = "list",
                     .usage = "",
                     .help = "the attached printers and whether each is usable",
                     .run = List}) &&
    RegisterCommand({.name = "HandleOpen",
                     .usage = "",
                     .help = "open the printer link (closed at the end of the run)",
                     .run = Open}) &&
    RegisterCommand(
        {.name = "HandleClose", .usage = "", .help = "close the printer link", .run = Close});

}  // namespace
}  // namespace tarvo::cli
