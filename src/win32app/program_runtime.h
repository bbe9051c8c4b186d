#pragma once

#include <memory>
#include <string>

#include "base/context.h"
#include "base/settings_store.h"
#include "link/printer_link.h"
#include "runtime/runtime.h"
#include "win32app/gui_operator.h"
#include "win32app/gui_thread.h"
#include "win32app/program_options.h"
#include "win32app/wait_status_line.h"

namespace tarvo::win32app {

// The program's runtime: the one runtime of the front ends built from the program's options,
// with the native windows' operator reached from the device worker through the GUI thread.
// Built and destroyed on the GUI thread.
class ProgramRuntime {
 public:
  // Nothing, with *error set, when the options name an unusable printer or station folder, or
  // ask for virtual time with a real printer. `settings` replaces the registry (tests).
  static std::unique_ptr<ProgramRuntime> Make(const ProgramOptions& options,
                                              std::unique_ptr<SettingsStore> settings,
                                              std::string* error, std::string* notes);
  // Closes the link if an operation left it open.
  ~ProgramRuntime();

  const Context& ctx() const { return ports_->ctx(); }
  PrinterLink& link() { return ports_->link(); }
  StopRequest& stop() { return ports_->stop(); }
  SettingsStore& settings() { return ports_->settings(); }
  sim::SimPrinter* sim() { return ports_->sim(); }
  WaitStatusLine& wait_status() { return *waits_; }

 private:
  ProgramRuntime() = default;

  std::unique_ptr<GuiThread> gui_;         // outlives the operator, which goes through it
  GuiOperator* op_ = nullptr;              // the runtime's operator
  std::unique_ptr<WaitStatusLine> waits_;  // outlives the runtime that tells it
  std::unique_ptr<runtime::Runtime> ports_;
};

}  // namespace tarvo::win32app
