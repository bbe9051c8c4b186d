// "about": the About box as text.
#include <string>

#include "cli/command.h"
#include "cli/session.h"
#include "station/about_box.h"

namespace tarvo::cli {
namespace {

int AboutCommand(Session& s, std::span<const std::string>) {
  // No command of the printer returns its identification record: its lines show their labels.
  station::AboutBox box =
      station::BuildAboutBox(station::PrinterIdRecord{}, station::ReadSystemFacts());
  s.out << station::AboutBox::kFtVersion << "\n" << station::AboutBox::kNotice << "\n";
  for (const std::string& line : box.Lines()) s.out << line << "\n";
  return kExitOk;
}

const bool registered = RegisterCommand({.name = "about",
                                         .usage = "",
                                         .help = "the About box: version, printer, user, system "
                                                 "and computer name",
                                         .run = AboutCommand});

}  // namespace
}  // namespace tarvo::cli
