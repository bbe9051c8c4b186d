#pragma once

#include <string>
#include <vector>

namespace tarvo::doctor {

// How one check came out. kNote: nothing to do, but worth knowing.
enum class State { kOk, kNote, kWarning, kProblem };

// One check of the report: what was checked, how it came out, what was seen and what to do about
// it ("" when nothing).
struct Finding {
  std::string check;
  State state = State::kOk;
  std::string what;
  std::string todo;
};

// Why a printer is or is not usable here, check by check, for a service engineer.
struct Report {
  std::vector<Finding> findings;
  bool printer_usable = false;  // a supported printer that this account may open and claim
};

// "ok", "note", "warn", "FAIL": the first column of a report line.
const char* StateLabel(State state);

// One line: "FAIL  device node: /dev/bus/usb/001/004 ... -> do: ...".
std::string FindingLine(const Finding& finding);

// The whole report, one line per check and a last line with the verdict, each ending in '\n'.
std::string ReportText(const Report& report);

}  // namespace tarvo::doctor
