#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/context.h"
#include "base/edition.h"
#include "base/line_sink.h"
#include "base/operator.h"
#include "base/record_sink.h"
#include "base/settings_store.h"
#include "base/stop_request.h"
#include "base/wire_log.h"
#include "link/printer_link.h"
#include "runtime/gui_plugin.h"
#include "runtime/printer_factory.h"

namespace tarvo::records {
class RecordKeeper;
}

namespace tarvo::runtime {

// What the runtime's parts tell the person while it runs: a problem of the settings store, a
// note of the record keeper (the records file cannot be written, the line database cannot be
// reached or takes records again), a problem of the simulated printer's state file.
// A note of the device layer (where a file was looked for) is for the log only.
struct Notice {
  enum class From { kSettings, kRecords, kPrinter, kDevice };
  From from;
  std::string text;

  // The notice as one line: "records: " before the record keeper's, the text of the others.
  std::string Line() const;
};

// How the front end names each of its settings to the person ("--printer", "TARVO_PRINTER"):
// the runtime's messages begin with these names.
struct Names {
  std::string printer = "--printer";
  std::string op = "--operator";
  std::string transcript = "--transcript";
  std::string wire_log = "--wire-log";
  std::string station_dir = "--station-dir";
  std::string virtual_time = "--virtual-time";
};

// Everything a front end says about the run it wants; each front end turns its command line, its
// environment or its host's calls into these.
struct Options {
  // "usb", or "sim", "sim:STATE_FILE", "sim:STATE_FILE?FAULTS" (src/sim/README.md).
  std::string printer = "usb";
  const Edition* edition = &kProgramEdition;
  // Simulated printer only: waits are logged, not waited.
  bool virtual_time = false;

  // Who answers: "tty" (prompts on `out`, answers from `in`), "script:FILE", or kWindowsOperator
  // (the library's windows: the plugin libfennick-qt.so when a display is there; on Windows the
  // system's own windows), whose clock serves the windows during a wait.
  std::string op = "tty";
  std::istream* in = nullptr;   // default: std::cin
  std::ostream* out = nullptr;  // default: std::cerr
  // The front end's own operator (the Qt program's), made from the transcript and the stop
  // request; replaces `op` when set. Nothing, with *error set, when it cannot be made.
  std::function<std::unique_ptr<Operator>(LineSink& transcript, StopRequest& stop,
                                          std::string* error)>
      make_operator;

  std::string transcript;   // every operator interaction; empty: none
  std::string wire_log;     // the printer traffic and the waits; empty: none
  std::string station_dir;  // the station folder; empty: the current directory

  // The stop request of the run (the front end's: a signal handler, a window's close box); one of
  // the runtime's own when null.
  StopRequest* stop = nullptr;
  // Where notices go; default: standard error.
  std::function<void(const Notice&)> tell;
  // Who is told of the longer waits by name (the program's status line); not owned. Default: the
  // operator, when it is a wait observer as well.
  WaitObserver* waits = nullptr;
  // Replaces the machine-wide settings store (tests). Its problems are the test's own.
  std::unique_ptr<SettingsStore> settings;

  Names names;
};

// The environment variables the runtime reads beyond the front end's own options, one per line
// with what each does, for the front ends' --help and docs: the settings folder, and where
// records are kept.
std::string EnvironmentHelp();

// The operator name of the library's windows.
inline constexpr const char* kWindowsOperator = "windows";

// The ports of one front end's run, built from its options, and the printer link over them.
//
// The policies every front end shares are decided here, once:
// - virtual time with a real printer is refused: its motors need the real waits;
// - the wire log is written at every wait, read and close (and when the runtime goes), not line
//   by line, so streaming print data with the log on stays fast;
// - the settings store's problems, the record keeper's notes and the simulated printer's problems
//   are told through Options::tell, the settings store's once the store's call has returned;
// - the record keeper (not in a build without records) keeps records in the machine's records
//   file and, with TARVO_RECORDS_URL or the settings' "RecordsUrl", the line database, with this
//   machine's name, the tool's version and the edition as their origin;
// - the station folder is made absolute and must be a folder;
// - every clock, the operator and the context share one stop request.
class Runtime {
 public:
  // Nothing, with *error set, when the options name an unusable printer, operator or station
  // folder, or ask for virtual time with a real printer. Notes on what was set aside (a log that
  // cannot be written, a simulated printer's state file that could not be read) go to *notes,
  // one per line.
  static std::unique_ptr<Runtime> Make(Options options, std::string* error, std::string* notes);

  // Destroys the parts the other way round from their building, so that the link closes its
  // pipes while the backend, the logs and the operator still exist. The link is not closed
  // through HandleClose: that is the front end's to do or not.
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  const Context& ctx() const { return *ctx_; }
  PrinterLink& link() { return *link_; }
  LinkBackend& backend() { return *printer_.backend; }
  StopRequest& stop() { return *stop_; }
  Clock& clock() { return *clock_; }
  Operator& op() { return *op_; }
  SettingsStore& settings() { return *settings_; }
  // The simulated printer, or nullptr for a real one.
  sim::SimPrinter* sim() { return printer_.sim.get(); }
  // The record keeper, the context's record sink; nullptr in a build without records.
  records::RecordKeeper* keeper() { return keeper_; }

 private:
  Runtime() = default;

  // Declared in the order they are built.
  StopRequest own_stop_;
  StopRequest* stop_ = &own_stop_;
  std::function<void(const Notice&)> tell_;
  RealClock real_clock_;
  VirtualClock virtual_clock_;
  Clock* clock_ = &real_clock_;
  std::unique_ptr<LineSink> transcript_;
  std::optional<GuiParts> windows_;  // the library's windows: their operator and clock
  std::unique_ptr<Operator> own_op_;
  Operator* op_ = nullptr;
  Printer printer_;
  std::unique_ptr<LineSink> wire_sink_;
  std::unique_ptr<WireLog> wire_;
  std::unique_ptr<SettingsStore> settings_;
  std::unique_ptr<RecordSink> records_;
  std::unique_ptr<LineSink> notes_;  // the device layer's notes, told as kDevice notices
  records::RecordKeeper* keeper_ = nullptr;
  std::unique_ptr<Context> ctx_;
  std::unique_ptr<PrinterLink> link_;
};

// Flushes the wire log when an operation of a front end ends, however it ends: the host or the
// person may do anything before the next one.
class OperationEnd {
 public:
  explicit OperationEnd(const Context& ctx) : ctx_(ctx) {}
  ~OperationEnd() { ctx_.wire.Flush(); }
  OperationEnd(const OperationEnd&) = delete;
  OperationEnd& operator=(const OperationEnd&) = delete;

 private:
  const Context& ctx_;
};

}  // namespace tarvo::runtime
