#include "win32app/program_options.h"

namespace tarvo::win32app {

std::string UsageText() {
  return "Usage: Tarvo [--printer usb|sim[:STATE[?FAULTS]]] [--virtual-time]\n"
         "             [--wire-log FILE] [--transcript FILE] [--station-dir DIR]\n"
         "             [--version] [--help]\n";
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  auto fail = [&line](std::string error) {
    line.ask = CommandLine::Ask::kError;
    line.error = std::move(error);
    return line;
  };
  struct Valued {
    const char* name;
    std::string ProgramOptions::*field;
  };
  const Valued valued[] = {{"--printer", &ProgramOptions::printer},
                           {"--wire-log", &ProgramOptions::wire_log},
                           {"--transcript", &ProgramOptions::transcript},
                           {"--station-dir", &ProgramOptions::station_dir}};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--version") {
      line.ask = CommandLine::Ask::kVersion;
      continue;
    }
    if (arg == "--help" || arg == "-h" || arg == "/?") {
      line.ask = CommandLine::Ask::kHelp;
      continue;
    }
    if (arg == "--virtual-time") {
      line.options.virtual_time = true;
      continue;
    }
    bool known = false;
    for (const Valued& v : valued) {
      const std::string name = v.name;
      if (arg == name) {
        if (i + 1 >= args.size()) return fail(name + " needs a value");
        line.options.*v.field = args[++i];
        known = true;
      } else if (arg.rfind(name + "=", 0) == 0) {
        line.options.*v.field = arg.substr(name.size() + 1);
        known = true;
      }
      if (known) break;
    }
    if (!known) return fail("unknown argument: " + arg);
  }
  if (line.options.printer.empty()) return fail("--printer needs a value");
  return line;
}

}  // namespace tarvo::win32app
