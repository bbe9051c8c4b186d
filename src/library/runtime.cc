#include "library/runtime.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

#include "front/operator_factory.h"
#include "front/settings_factory.h"
#include "front/station_dir.h"
#ifdef TARVO_HAVE_RECORDS
#include "records/record_keeper.h"
#include "records/records_config.h"
#endif

namespace tarvo::library {
namespace {

// Built when the library is loaded, gone when it is unloaded.
StationData g_station;
std::unique_ptr<Runtime> g_runtime;

std::string Env(const char* name, std::string_view fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

// Set unless empty or one of the usual words for no.
bool EnvFlag(const char* name) {
  const std::string value = Env(name, "");
  return !value.empty() && value != "0" && value != "false" && value != "no" && value != "off";
}

std::unique_ptr<LineSink> OpenSink(const char* variable, std::string* notes,
                                   FileLineSink::Writes writes = FileLineSink::Writes::kEveryLine) {
  const std::string path = Env(variable, "");
  if (path.empty()) return std::make_unique<NullLineSink>();
  auto sink = std::make_unique<FileLineSink>(path, writes);
  if (!sink->ok()) *notes += std::string(variable) + ": cannot write " + path + "\n";
  return sink;
}

void Tell(const std::string& lines) {
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    std::fprintf(stderr, "fennick: %.*s\n", static_cast<int>(end - start), lines.data() + start);
    start = end + 1;
  }
}

}  // namespace

StationData& LibraryStation() {
  return g_station;
}

Runtime* Runtime::Current() {
  return g_runtime.get();
}

Runtime* Runtime::Get() {
  // What the last failed attempt told: a host calling export after export into an environment
  // that stays unusable hears about it once, not at every call.
  static std::string g_told;
  if (!g_runtime) {
    std::string error, notes;
    g_runtime = FromEnvironment(g_station, &error, &notes);
    if (g_runtime) {
      Tell(notes);
      g_told.clear();
    } else if (notes + error != g_told) {
      g_told = notes + error;
      Tell(notes);
      Tell(error);
    }
  }
  return g_runtime.get();
}

std::unique_ptr<Runtime> Runtime::FromEnvironment(StationData& station, std::string* error,
                                                  std::string* notes) {
  std::unique_ptr<Runtime> rt(new Runtime(station));

  const bool virtual_time = EnvFlag("TARVO_VIRTUAL_TIME");
  if (virtual_time) {
    rt->virtual_clock_.SetLocalTime(rt->real_clock_.LocalTime());
    rt->clock_ = &rt->virtual_clock_;
  }

  rt->transcript_ = OpenSink("TARVO_TRANSCRIPT", notes);
  std::string problem;
  const std::string op_spec = Env("TARVO_OPERATOR", "");
  if (op_spec.empty()) {
    if (!front::DisplayAvailable()) {
      *error =
          "no operator: TARVO_OPERATOR is not set and there is no display to show the dialogs on "
          "(DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM); set TARVO_OPERATOR=tty or "
          "TARVO_OPERATOR=script:FILE";
      return nullptr;
    }
    rt->gui_ = front::LoadGuiParts(kLibraryEdition, *rt->transcript_, nullptr, &problem);
    if (!rt->gui_) {
      *error = "no operator: " + problem + "; set TARVO_OPERATOR=tty or TARVO_OPERATOR=script:FILE";
      return nullptr;
    }
    // Waits of the real clock keep the windows painted.
    if (!virtual_time) rt->clock_ = rt->gui_->clock.get();
  }

  auto printer = front::MakePrinter(Env("TARVO_PRINTER", "usb"), *rt->clock_, &problem);
  if (!printer) {
    *error = "TARVO_PRINTER: " + problem;
    return nullptr;
  }
  if (!problem.empty()) *notes += "TARVO_PRINTER: " + problem + "\n";
  if (virtual_time && printer->real()) {
    // A real printer's motors need the real waits.
    *notes += "TARVO_VIRTUAL_TIME is ignored with a real printer\n";
    rt->clock_ = rt->gui_ ? rt->gui_->clock.get() : &rt->real_clock_;
  }
  rt->printer_ = std::move(*printer);
  if (rt->printer_.sim) rt->printer_.sim->set_problem_sink([](const std::string& p) { Tell(p); });

  // Written at every wait, read and close (and when the library is unloaded), not line by line.
  rt->wire_sink_ = OpenSink("TARVO_WIRE_LOG", notes, FileLineSink::Writes::kOnFlush);
  rt->wire_ = std::make_unique<WireLog>(*rt->wire_sink_);

  Operator* op = nullptr;
  if (rt->gui_) {
    op = rt->gui_->op.get();
  } else {
    problem.clear();
    rt->op_ = front::MakeOperator(op_spec, std::cin, std::cerr, *rt->transcript_, &problem);
    if (!rt->op_) {
      *error = "TARVO_OPERATOR: " + problem;
      return nullptr;
    }
    op = rt->op_.get();
  }

  problem.clear();
  std::optional<std::filesystem::path> station_dir =
      front::StationDir(Env("TARVO_STATION_DIR", ""), &problem);
  if (!station_dir) {
    *error = "TARVO_STATION_DIR: " + problem;
    return nullptr;
  }

  rt->settings_ = front::MakeSettingsStore([](const std::string& p) { Tell(p); });
#ifdef TARVO_HAVE_RECORDS
  records::KeeperOptions keep;
  keep.local_path = records::DefaultRecordsPath().string();
  keep.line_url = records::LineDatabaseUrl(*rt->settings_);
  keep.origin = records::ThisMachine(TARVO_VERSION, kLibraryEdition);
  keep.warn = [](const std::string& text) { Tell("records: " + text); };
  rt->records_ = std::make_unique<records::RecordKeeper>(std::move(keep), *rt->clock_);
#endif
  rt->ctx_ = std::make_unique<Context>(
      Context{kLibraryEdition, *rt->clock_, *op, *rt->settings_, *rt->wire_, *station_dir});
  rt->ctx_->records = rt->records_.get();
  rt->link_ = std::make_unique<PrinterLink>(*rt->ctx_, *rt->printer_.backend);
  return rt;
}

Runtime::~Runtime() = default;

}  // namespace tarvo::library
