#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::win32app {

// The command line of Tarvo.exe: the options every front end shares. Nothing on a station PC
// gives any (the printer is the USB one, the station files are in the current directory); the
// simulated printer and the logs are for service and tests.
struct ProgramOptions {
  std::string printer = "usb";  // "usb" or "sim[:STATE[?FAULTS]]"
  bool virtual_time = false;
  std::string wire_log;
  std::string transcript;
  std::string station_dir;
};

// What the command line asks for.
struct CommandLine {
  enum class Ask { kRun, kVersion, kHelp, kError };
  Ask ask = Ask::kRun;
  ProgramOptions options;
  std::string error;  // for kError
};

// Parses the arguments after the program name ("--printer sim" or "--printer=sim").
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace tarvo::win32app
