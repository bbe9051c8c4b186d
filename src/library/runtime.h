#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/record_sink.h"
#include "base/settings_store.h"
#include "base/wire_log.h"
#include "front/gui_plugin.h"
#include "front/printer_factory.h"
#include "link/printer_link.h"
#include "model/station_data.h"

namespace tarvo::library {

// The library's run-time data from load to unload: its pair of head data blocks, the chart label
// record of the export running, the current image and the version text printed in chart
// headers. It exists before any export runs, so SetDLLVersion works whatever the environment
// says.
StationData& LibraryStation();

// Everything an export needs to reach the printer and the operator, chosen from the environment
// (TARVO_PRINTER, TARVO_OPERATOR, TARVO_TRANSCRIPT, TARVO_WIRE_LOG, TARVO_VIRTUAL_TIME,
// TARVO_STATION_DIR; settings from front::MakeSettingsStore(); records in the machine's
// records file and, with TARVO_RECORDS_URL or the settings' "RecordsUrl", the line database,
// except in the Windows build, which keeps no records),
// and the station's run-time data the exports work on. Without TARVO_OPERATOR the dialogs are
// shown in Qt windows by the plugin libfennick-qt.so when there is a display, and the exports
// fail when there is none.
class Runtime {
 public:
  // The runtime of this process, built at the first call. Nothing when the environment names an
  // unusable printer or operator; the problem is written to stderr (once while it stays the same)
  // and the next call tries again.
  static Runtime* Get();
  // The runtime if one has been built, without building one.
  static Runtime* Current();

  // Builds a runtime from the environment; nothing, with *error set, when it names an unusable
  // printer or operator. Notes on what was set aside (a log that cannot be written, virtual time
  // with a real printer) go to `notes`, one per line.
  static std::unique_ptr<Runtime> FromEnvironment(StationData& station, std::string* error,
                                                  std::string* notes);

  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const Context& ctx() const { return *ctx_; }
  PrinterLink& link() { return *link_; }
  StationData& station() { return station_; }

 private:
  explicit Runtime(StationData& station) : station_(station) {}

  StationData& station_;
  // Declared in the order they are built; destroyed the other way round, so the link closes its
  // pipes while the backend and the logs still exist.
  RealClock real_clock_;
  VirtualClock virtual_clock_;
  Clock* clock_ = &real_clock_;
  // The Qt windows' operator and clock, when the dialogs are shown in windows.
  std::optional<front::GuiParts> gui_;
  std::unique_ptr<LineSink> transcript_;
  std::unique_ptr<LineSink> wire_sink_;
  std::unique_ptr<WireLog> wire_;
  std::unique_ptr<SettingsStore> settings_;
  front::Printer printer_;
  std::unique_ptr<Operator> op_;
  std::unique_ptr<RecordSink> records_;  // none in a build without records
  std::unique_ptr<Context> ctx_;
  std::unique_ptr<PrinterLink> link_;
};

}  // namespace tarvo::library
