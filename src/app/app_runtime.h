#pragma once

#include <memory>
#include <string>

#include "app/app_options.h"
#include "app/qt_operator.h"
#include "base/clock.h"
#include "base/context.h"
#include "base/line_sink.h"
#include "base/settings_store.h"
#include "base/stop_request.h"
#include "base/wire_log.h"
#include "front/printer_factory.h"
#include "link/printer_link.h"
#include "records/record_keeper.h"

namespace tarvo::app {

// The ports of the program, built from its options: the clock, the printer, the logs, the
// settings store, the Qt operator, the stop request and the record keeper (the machine's records
// file, the line database when one is set), bundled in the context that every operation of the
// device worker gets. Built and destroyed on the GUI thread.
class AppRuntime {
 public:
  // Nothing, with *error set, when the options name an unusable printer or ask for virtual time
  // with a real printer. `settings` replaces the settings file (tests). Notes on what was set
  // aside (a log that cannot be written) go to *notes.
  static std::unique_ptr<AppRuntime> Make(const AppOptions& options,
                                          std::unique_ptr<SettingsStore> settings,
                                          std::string* error, std::string* notes);
  ~AppRuntime();
  AppRuntime(const AppRuntime&) = delete;
  AppRuntime& operator=(const AppRuntime&) = delete;

  const AppOptions& options() const { return options_; }
  const Context& ctx() const { return *ctx_; }
  PrinterLink& link() { return *link_; }
  QtOperator& op() { return *op_; }
  StopRequest& stop() { return stop_; }
  SettingsStore& settings() { return *settings_; }
  Clock& clock() { return *clock_; }
  records::RecordKeeper& records() { return *records_; }
  // The simulated printer, or nullptr for a real one.
  sim::SimPrinter* sim() { return printer_.sim.get(); }

 private:
  explicit AppRuntime(AppOptions options) : options_(std::move(options)) {}

  AppOptions options_;
  RealClock real_clock_;
  VirtualClock virtual_clock_;
  Clock* clock_ = &real_clock_;
  StopRequest stop_;
  std::unique_ptr<LineSink> transcript_;
  std::unique_ptr<LineSink> wire_sink_;
  std::unique_ptr<WireLog> wire_;
  std::unique_ptr<SettingsStore> settings_;
  front::Printer printer_;
  std::unique_ptr<QtOperator> op_;
  std::unique_ptr<records::RecordKeeper> records_;
  std::unique_ptr<Context> ctx_;
  std::unique_ptr<PrinterLink> link_;
};

}  // namespace tarvo::app
