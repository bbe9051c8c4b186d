#include "library/offline_report.h"

#include <iostream>
#include <sstream>
#include <string>

#include "doctor/diagnose.h"
#include "doctor/gather.h"

namespace tarvo::library {

void TellWhyOffline(Runtime& rt) {
  TellWhyOffline(rt, std::cerr);
}

void TellWhyOffline(Runtime& rt, std::ostream& out) {
  doctor::GatherOptions options;
  options.bus = &rt.backend();
  options.station_dir = rt.ctx().station_dir;
  options.settings = &rt.ctx().settings;
  std::string error;
  const std::optional<doctor::Facts> facts = doctor::Gather(options, &error);
  if (!facts) {
    out << "fennick: the printer is off line; its checks cannot be made: " << error << "\n";
    return;
  }
  std::istringstream lines(doctor::ReportText(doctor::Diagnose(*facts)));
  out << "fennick: the printer is off line:\n";
  for (std::string line; std::getline(lines, line);) out << "fennick: " << line << "\n";
  out.flush();
}

}  // namespace tarvo::library
