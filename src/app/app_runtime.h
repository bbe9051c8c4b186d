#pragma once

#include <memory>
#include <string>

#include "app/app_options.h"
#include "app/qt_operator.h"
#include "app/wait_status.h"
#include "base/context.h"
#include "base/settings_store.h"
#include "link/printer_link.h"
#include "records/record_keeper.h"
#include "runtime/runtime.h"

namespace tarvo::app {

// The program's runtime: the one runtime of the front ends (src/runtime) built from the
// program's options, with the Qt operator as its operator; every operation of the device worker
// gets its context. Built and destroyed on the GUI thread.
class AppRuntime {
 public:
  // Nothing, with *error set, when the options name an unusable printer or station folder, or
  // ask for virtual time with a real printer. `settings` replaces the settings file (tests).
  // Notes on what was set aside (a log that cannot be written) go to *notes.
  static std::unique_ptr<AppRuntime> Make(const AppOptions& options,
                                          std::unique_ptr<SettingsStore> settings,
                                          std::string* error, std::string* notes);
  // Closes the link if an operation left it open.
  ~AppRuntime();

  const AppOptions& options() const { return options_; }
  const Context& ctx() const { return ports_->ctx(); }
  PrinterLink& link() { return ports_->link(); }
  QtOperator& op() { return *op_; }
  // The status line of the longer waits.
  WaitStatus& wait_status() { return *waits_; }
  StopRequest& stop() { return ports_->stop(); }
  SettingsStore& settings() { return ports_->settings(); }
  Clock& clock() { return ports_->clock(); }
  records::RecordKeeper& records() { return *ports_->keeper(); }
  // The simulated printer, or nullptr for a real one.
  sim::SimPrinter* sim() { return ports_->sim(); }

 private:
  explicit AppRuntime(AppOptions options) : options_(std::move(options)) {}

  AppOptions options_;
  QtOperator* op_ = nullptr;           // the runtime's operator
  std::unique_ptr<WaitStatus> waits_;  // outlives the runtime that tells it
  std::unique_ptr<runtime::Runtime> ports_;
};

}  // namespace tarvo::app
