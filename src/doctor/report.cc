#include "doctor/report.h"

namespace tarvo::doctor {

const char* StateLabel(State state) {
  switch (state) {
    case State::kOk:
      return "ok";
    case State::kNote:
      return "note";
    case State::kWarning:
      return "warn";
    case State::kProblem:
      return "FAIL";
  }
  return "?";
}

std::string FindingLine(const Finding& finding) {
  std::string line = StateLabel(finding.state);
  line.resize(6, ' ');
  line += finding.check + ": " + finding.what;
  if (!finding.todo.empty()) line += " -> " + finding.todo;
  return line;
}

std::string ReportText(const Report& report) {
  std::string text;
  for (const Finding& f : report.findings) text += FindingLine(f) + "\n";
  text += report.printer_usable ? "A printer is usable.\n" : "No printer is usable.\n";
  return text;
}

}  // namespace tarvo::doctor
