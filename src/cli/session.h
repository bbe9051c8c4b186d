#pragma once

#include <ostream>

#include "base/context.h"
#include "link/link_backend.h"
#include "link/printer_link.h"
#include "model/station_data.h"

namespace tarvo::sim {
class SimPrinter;
}

namespace tarvo::cli {

// What the commands of one tarvo-cli run share. A run is one command, or the lines of a session
// file; the station's run-time data lives as long as the run.
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

  StationData station;  // blocks, chart label record, current image, library version text
};

}  // namespace tarvo::cli
