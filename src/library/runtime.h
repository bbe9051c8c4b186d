#pragma once

#include <memory>

#include "base/context.h"
#include "link/printer_link.h"
#include "model/station_data.h"
#include "runtime/runtime.h"

namespace tarvo::library {

// The library's run-time data from load to unload: its pair of head data blocks, the chart label
// record of the export running, the current image and the version text printed in chart
// headers. It exists before any export runs, so SetDLLVersion works whatever the environment
// says.
StationData& LibraryStation();

// What an export needs to reach the printer and the operator: the one runtime of the front ends
// (src/runtime), built from the environment (TARVO_PRINTER, TARVO_OPERATOR, TARVO_TRANSCRIPT,
// TARVO_WIRE_LOG, TARVO_VIRTUAL_TIME, TARVO_STATION_DIR; the settings store of TARVO_CONFIG_DIR)
// at the first export that needs it, and the station's run-time data the exports work on.
// Without TARVO_OPERATOR the dialogs are shown in windows (runtime::kWindowsOperator), and the
// exports fail when there is no display.
class Runtime {
 public:
  // The runtime of this process, built at the first call. Nothing when the environment names
  // nothing usable; the problem is written to stderr (once while it stays the same) and the next
  // call tries again.
  static Runtime* Get();
  // The runtime if one has been built, without building one.
  static Runtime* Current();

  Runtime(StationData& station, std::unique_ptr<runtime::Runtime> ports)
      : station_(station), ports_(std::move(ports)) {}

  const Context& ctx() const { return ports_->ctx(); }
  PrinterLink& link() { return ports_->link(); }
  LinkBackend& backend() { return ports_->backend(); }
  StationData& station() { return station_; }
  // A printer on the bus, not the simulated one.
  bool real_printer() { return ports_->sim() == nullptr; }

 private:
  StationData& station_;
  std::unique_ptr<runtime::Runtime> ports_;
};

}  // namespace tarvo::library
