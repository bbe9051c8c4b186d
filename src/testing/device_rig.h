#pragma once

#include <string>
#include <vector>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "dialogs/recording_operator.h"
#include "link/printer_link.h"
#include "sim/sim_backend.h"
#include "sim/sim_printer.h"

namespace tarvo::testing {

// A device layer of one edition wired to a simulated printer, all in memory and on a virtual
// clock: what most device tests start from.
struct DeviceRig {
  explicit DeviceRig(const Edition& edition = kProgramEdition, sim::SimSpec spec = {})
      : printer(clock, std::move(spec)),
        backend(printer, clock),
        ctx{edition, clock, op, settings, wire},
        link(ctx, backend) {}

  // Opens the link; a test that expects the printer gone does not call it.
  bool Open() { return link.HandleOpen(); }

  // The traffic since the start (or the last Forget()) in the notation of the simulated printer,
  // waits included: "J(0,0)", "M(0,1,6,2,6,1)", "wait 10000", ...
  std::vector<std::string> Traffic() const { return sim::DescribeTraffic(wire_lines.lines()); }
  void Forget() {
    wire_lines.Clear();
    op = RecordingOperator();
    clock.ClearSleeps();
  }

  VirtualClock clock;
  RecordingOperator op;
  MemorySettingsStore settings;
  MemoryLineSink wire_lines;
  WireLog wire{wire_lines};
  sim::SimPrinter printer;
  sim::SimBackend backend;
  Context ctx;
  PrinterLink link;
};

}  // namespace tarvo::testing
