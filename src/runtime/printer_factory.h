#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "link/link_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::runtime {

// The printer a run talks to.
struct Printer {
  std::unique_ptr<sim::SimPrinter> sim;  // set for a simulated printer
  std::unique_ptr<LinkBackend> backend;
  bool real() const { return sim == nullptr; }
};

// "usb", "sim", "sim:STATE_FILE", "sim:STATE_FILE?fault=value&..." (see src/sim/README.md).
// Nothing, with *error set, for an unknown or malformed name, and for a simulated printer whose
// state file cannot be written.
std::optional<Printer> MakePrinter(std::string_view spec, Clock& clock, std::string* error);

}  // namespace tarvo::runtime
