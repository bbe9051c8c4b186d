#pragma once

#include <memory>
#include <ostream>

#include "base/context.h"
#include "link/link_backend.h"
#include "link/printer_link.h"
#include "model/station_data.h"
#include "station/rom_viewer_page.h"
#include "station/station_files.h"
#include "station/step_runner.h"

namespace tarvo::sim {
class SimPrinter;
}
namespace tarvo::records {
class RecordKeeper;
}

namespace tarvo::cli {

// What the commands of one tarvo-cli run share. A run is one command, or the lines of a session
// file; the station's run-time data lives as long as the run.
struct Session {
  Session(const Context& ctx, LinkBackend& backend, PrinterLink& link, std::ostream& out,
          std::ostream& err, sim::SimPrinter* sim)
      : ctx(ctx),
        backend(backend),
        link(link),
        out(out),
        err(err),
        sim(sim),
        station_files(ctx.station_dir) {}

  const Context& ctx;
  LinkBackend& backend;
  PrinterLink& link;
  std::ostream& out;
  std::ostream& err;
  sim::SimPrinter* sim;  // the simulated printer, when that is the printer

  StationData station;  // blocks, chart label record, current image, library version text,
                        // the station's results

  // The station's settings files (in the station folder) and the step runner; the runner is made
  // (and the page initialised from "3.data") by the first station command of the run.
  station::StationFiles station_files;
  std::unique_ptr<station::StepRunner> station_runner;

  // The ROM data viewer page of the run, made by its first viewer command; it shares `station`
  // with the step runner.
  std::unique_ptr<station::RomViewerPage> viewer;

  // The run's record sink, the one of ctx.records; none in a build without records (Windows).
  records::RecordKeeper* records = nullptr;

  // A stop cut a command short while the link was open (the command's frame has closed it).
  bool link_open_at_stop = false;
};

}  // namespace tarvo::cli
