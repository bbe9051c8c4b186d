#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace tarvo::app {

// The command line of Tarvo: the options every front end shares. The program always serves the
// program edition.
struct AppOptions {
  std::string printer = "usb";  // "usb" or "sim[:STATE[?FAULTS]]"
  bool virtual_time = false;
  std::string wire_log;     // empty: none
  std::string transcript;   // empty: none
  std::string station_dir;  // where the station's files live; empty: the current directory
};

// Parses argv (after QApplication has taken its own options). Nothing when the program should
// end at once: --help and --version print to `out` (*status 0); a bad command line prints to
// `err` (*status 2).
std::optional<AppOptions> ParseAppOptions(int argc, char** argv, std::ostream& out,
                                          std::ostream& err, int* status);

}  // namespace tarvo::app
