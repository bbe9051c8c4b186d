#pragma once

#include <array>
#include <cstdint>
#include <ostream>

#include "base/context.h"
#include "link/link_backend.h"
#include "link/printer_link.h"
#include "model/device_state.h"

namespace tarvo::sim {
class SimPrinter;
}

namespace tarvo::cli {

// What the commands of one tarvo-cli run share. A run is one command, or the lines of a session
// file; the blocks and the chart label record live as long as the run, like the station's
// run-time data.
struct Session {
  Session(const Context& ctx, LinkBackend& backend, PrinterLink& link, std::ostream& out,
          std::ostream& err, sim::SimPrinter* sim)
      : ctx(ctx), backend(backend), link(link), out(out), err(err), sim(sim) {}

  const Context& ctx;
  LinkBackend& backend;
  PrinterLink& link;
  std::ostream& out;
  std::ostream& err;
  sim::SimPrinter* sim;  // the simulated printer, when that is the printer

  std::array<uint8_t, 41> working_block{};  // head data block that steps write and charts print
  std::array<uint8_t, 41> read_block{};     // what reads and read-backs fill
  std::array<uint8_t, 24> chart_label{};    // chart label record
  DeviceState state;                        // current image, library version text
};

}  // namespace tarvo::cli
