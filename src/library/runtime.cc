#include "library/runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace tarvo::library {
namespace {

// Built when the library is loaded, gone when it is unloaded.
StationData g_station;
std::unique_ptr<Runtime> g_runtime;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Each line of `lines` on standard error, as the library's note.
void Tell(const std::string& lines) {
  for (size_t at = 0, end; at < lines.size(); at = end + 1) {
    end = std::min(lines.find('\n', at), lines.size());
    std::fprintf(stderr, "fennick: %.*s\n", static_cast<int>(end - at), lines.data() + at);
  }
}

std::unique_ptr<runtime::Runtime> FromEnvironment(std::string* error, std::string* notes) {
  runtime::Options options;
  if (const std::string printer = Env("TARVO_PRINTER"); !printer.empty()) options.printer = printer;
  options.edition = &kLibraryEdition;
  const std::string flag = Env("TARVO_VIRTUAL_TIME");  // set unless one of the words for no
  options.virtual_time =
      !flag.empty() && flag != "0" && flag != "false" && flag != "no" && flag != "off";
  options.op = Env("TARVO_OPERATOR");
  if (options.op.empty()) options.op = runtime::kWindowsOperator;
  options.in = &std::cin;
  options.out = &std::cerr;
  options.transcript = Env("TARVO_TRANSCRIPT");
  options.wire_log = Env("TARVO_WIRE_LOG");
  options.station_dir = Env("TARVO_STATION_DIR");
  options.tell = [](const runtime::Notice& notice) { Tell(notice.Line()); };
  options.names = {"TARVO_PRINTER",  "TARVO_OPERATOR",    "TARVO_TRANSCRIPT",
                   "TARVO_WIRE_LOG", "TARVO_STATION_DIR", "TARVO_VIRTUAL_TIME"};
  return runtime::Runtime::Make(std::move(options), error, notes);
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
    if (auto ports = FromEnvironment(&error, &notes)) {
      g_runtime = std::make_unique<Runtime>(g_station, std::move(ports));
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

}  // namespace tarvo::library
