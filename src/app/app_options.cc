#include "app/app_options.h"

#include <CLI/CLI.hpp>

#include "runtime/runtime.h"

namespace tarvo::app {

std::optional<AppOptions> ParseAppOptions(int argc, char** argv, std::ostream& out,
                                          std::ostream& err, int* status) {
  AppOptions opt;
  CLI::App app{"Tarvo: the production-line and service program for the printer family"};
  app.set_version_flag("--version", std::string("Tarvo ") + TARVO_VERSION);
  app.add_option("--printer", opt.printer, "usb (default) or sim[:STATE_FILE[?FAULTS]]")
      ->envname("TARVO_PRINTER");
  app.add_flag("--virtual-time", opt.virtual_time,
               "simulated printer only: log the waits instead of waiting")
      ->envname("TARVO_VIRTUAL_TIME");
  app.add_option("--wire-log", opt.wire_log, "write the printer traffic and waits to FILE")
      ->envname("TARVO_WIRE_LOG");
  app.add_option("--transcript", opt.transcript, "write every operator interaction to FILE")
      ->envname("TARVO_TRANSCRIPT");
  app.add_option("--station-dir", opt.station_dir,
                 "the folder of the station's files (default: the current directory)")
      ->envname("TARVO_STATION_DIR");
  app.footer(runtime::EnvironmentHelp());
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    *status = app.exit(e, out, err) == 0 ? 0 : 2;
    return std::nullopt;
  }
  *status = 0;
  return opt;
}

}  // namespace tarvo::app
