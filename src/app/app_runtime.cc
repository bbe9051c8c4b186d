#include "app/app_runtime.h"

#include <iostream>

#include "base/operator.h"
#include "front/station_dir.h"
#include "records/records_config.h"

namespace tarvo::app {
namespace {

std::unique_ptr<LineSink> OpenSink(const std::string& path, const char* what, std::string* notes) {
  if (path.empty()) return std::make_unique<NullLineSink>();
  auto sink = std::make_unique<FileLineSink>(path);
  if (!sink->ok()) *notes += std::string(what) + ": cannot write " + path + "\n";
  return sink;
}

// What the keeper has to say (the records file cannot be written, the line database cannot be
// reached, or takes records again) goes to standard error and to the operator, in one box: the
// keeper says each thing once, not once per step. Never fails the record being kept: a box
// refused by a stop request leaves the note on standard error.
void WarnOperator(Operator& op, const std::string& text) {
  std::cerr << "Tarvo: records: " << text << "\n";
  try {
    op.Show({"Records: " + text, "Records", Icon::kInformation, Buttons::kOk});
  } catch (const OperatorAborted&) {
  }
}

}  // namespace

std::unique_ptr<AppRuntime> AppRuntime::Make(const AppOptions& options,
                                             std::unique_ptr<SettingsStore> settings,
                                             std::string* error, std::string* notes) {
  std::unique_ptr<AppRuntime> rt(new AppRuntime(options));
  // Every wait of either clock ends when the window asks the operation to stop.
  rt->real_clock_.set_stop(&rt->stop_);
  rt->virtual_clock_.set_stop(&rt->stop_);
  if (options.virtual_time) {
    rt->virtual_clock_.SetLocalTime(rt->real_clock_.LocalTime());
    rt->clock_ = &rt->virtual_clock_;
  }
  std::string problem;
  auto printer = front::MakePrinter(options.printer, *rt->clock_, &problem);
  if (!printer) {
    *error = "--printer: " + problem;
    return nullptr;
  }
  if (!problem.empty()) *notes += "--printer: " + problem + "\n";
  if (options.virtual_time && printer->real()) {
    *error = "--virtual-time is refused with a real printer: its motors need the real waits";
    return nullptr;
  }
  rt->printer_ = std::move(*printer);
  rt->transcript_ = OpenSink(options.transcript, "--transcript", notes);
  rt->wire_sink_ = OpenSink(options.wire_log, "--wire-log", notes);
  rt->wire_ = std::make_unique<WireLog>(*rt->wire_sink_);
  rt->settings_ = settings ? std::move(settings)
                           : std::make_unique<FileSettingsStore>(FileSettingsStore::DefaultPath());
  problem.clear();
  std::optional<std::filesystem::path> station_dir =
      front::StationDir(options.station_dir, &problem);
  if (!station_dir) {
    *error = "--station-dir: " + problem;
    return nullptr;
  }
  rt->op_ = std::make_unique<QtOperator>(kProgramEdition, *rt->transcript_);
  rt->op_->set_stop(&rt->stop_);
  records::KeeperOptions keep;
  keep.local_path = records::DefaultRecordsPath().string();
  keep.line_url = records::LineDatabaseUrl(*rt->settings_);
  keep.origin = records::ThisMachine(TARVO_VERSION, kProgramEdition);
  keep.warn = [op = rt->op_.get()](const std::string& text) { WarnOperator(*op, text); };
  rt->records_ = std::make_unique<records::RecordKeeper>(std::move(keep), *rt->clock_);
  rt->ctx_ =
      std::make_unique<Context>(Context{kProgramEdition, *rt->clock_, *rt->op_, *rt->settings_,
                                        *rt->wire_, *station_dir, &rt->stop_});
  rt->ctx_->records = rt->records_.get();
  rt->link_ = std::make_unique<PrinterLink>(*rt->ctx_, *rt->printer_.backend);
  return rt;
}

AppRuntime::~AppRuntime() {
  if (link_ && link_->is_open()) link_->HandleClose();
}

}  // namespace tarvo::app
