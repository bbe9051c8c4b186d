// The dot weight page: "dotweight clean", "dotweight nozzle-check", "dotweight measure mono|cmy".
#include <string>

#include "cli/command.h"
#include "cli/page_output.h"
#include "cli/session.h"
#include "station/dot_weight_page.h"

namespace tarvo::cli {
namespace {

int Usage(Session& s) {
  s.err << "tarvo-cli: usage: dotweight clean | nozzle-check | measure mono|cmy\n";
  return kExitUsage;
}

void ShowMeasurement(Session& s, const MeasureResultDialog& d) {
  s.out << d.caption() << ":\n"
        << "Before Weight = " << MeasureResultDialog::Format(d.before_weight) << " g\n"
        << "After Weight = " << MeasureResultDialog::Format(d.after_weight) << " g\n"
        << "MAX THresold = " << MeasureResultDialog::Format(d.maximum) << " ng\n"
        << "Min THresold = " << MeasureResultDialog::Format(d.minimum) << " ng\n"
        << "Avarage = " << MeasureResultDialog::Format(d.average) << " ng\n"
        << "Test Result = " << d.test_result << "\n";
}

int DotWeightCommand(Session& s, std::span<const std::string> args) {
  station::DotWeightPage page(s.ctx, s.link);
  const std::string& action = args[0];
  if (action == "clean" && args.size() == 1) {
    s.out << "dotweight clean: " << PageRunText(page.Clean()) << "\n";
    return kExitOk;
  }
  if (action == "nozzle-check" && args.size() == 1) {
    s.out << "dotweight nozzle-check: " << PageRunText(page.PrintNozzleCheck()) << "\n";
    return kExitOk;
  }
  if (action == "measure" && args.size() == 2 && (args[1] == "mono" || args[1] == "cmy")) {
    page.Measure(args[1] == "mono" ? station::MeasureKind::kMono : station::MeasureKind::kColour);
    ShowMeasurement(s, *page.last_measurement());
    return kExitOk;
  }
  return Usage(s);
}

const bool registered =
    RegisterCommand({.name = "dotweight",
                     .usage = "clean | nozzle-check | measure mono|cmy",
                     .help = "the dot weight page: a CL1 cleaning, the nozzle check print, or the "
                             "measurement dialog of the black or colour head",
                     .min_args = 1,
                     .max_args = 2,
                     .run = DotWeightCommand});

}  // namespace
}  // namespace tarvo::cli
