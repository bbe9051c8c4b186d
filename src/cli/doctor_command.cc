// doctor: why no printer can be used here, check by check.
#include "cli/command.h"
#include "cli/session.h"
#include "doctor/diagnose.h"
#include "doctor/gather.h"

namespace tarvo::cli {
namespace {

int Doctor(Session& s, std::span<const std::string> args) {
  if (s.link.is_open()) {
    // The look at the bus would find our own claim in the way.
    s.err << "tarvo-cli: doctor: close the printer link first (HandleClose)\n";
    return kExitUsage;
  }
  doctor::GatherOptions options;
  // The run's USB backend, or, for a simulated printer, one of the doctor's own: it is the real
  // printer an engineer asks about.
  if (!s.sim) options.bus = &s.backend;
  if (!args.empty()) options.user = args[0];
  options.station_dir = s.ctx.station_dir;
  options.settings = &s.ctx.settings;
  std::string error;
  const std::optional<doctor::Facts> facts = doctor::Gather(options, &error);
  if (!facts) {
    s.err << "tarvo-cli: doctor: " << error << "\n";
    return kExitUsage;
  }
  if (s.sim) s.out << "note  this run's printer is the simulated one; the checks are of USB\n";
  const doctor::Report report = doctor::Diagnose(*facts);
  s.out << doctor::ReportText(report);
  return report.printer_usable ? kExitOk : kExitOffline;
}

const bool registered = RegisterCommand(
    {.name = "doctor",
     .usage = "[USER]",
     .help = "why no printer is usable: bus, device node, udev rule, group, stores, charts",
     .min_args = 0,
     .max_args = 1,
     .run = Doctor});

}  // namespace
}  // namespace tarvo::cli
