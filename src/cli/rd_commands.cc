// The R&D page: "rd list" and "rd run [POSITION]".
#include <string>

#include "cli/command.h"
#include "cli/page_output.h"
#include "cli/session.h"
#include "station/rd_page.h"

namespace tarvo::cli {
namespace {

int Usage(Session& s) {
  s.err << "tarvo-cli: usage: rd list | rd run [POSITION]\n";
  return kExitUsage;
}

int RdCommand(Session& s, std::span<const std::string> args) {
  station::RdPage page(s.ctx, s.link, s.station);
  page.Initialise();
  if (args[0] == "list" && args.size() == 1) {
    for (size_t i = 0; i < page.entries().size(); ++i) {
      s.out << i << " " << page.entries()[i] << "\n";
    }
    return kExitOk;
  }
  if (args[0] != "run") return Usage(s);
  // Without a position nothing is selected, as after the list lost the focus.
  if (args.size() == 2) {
    std::optional<int> position = ParseInt(args[1]);
    if (!position) return Usage(s);
    page.Select(*position);
  }
  station::PageRun run = page.DoubleClick();
  s.out << "rd: " << (run.entry.empty() ? "(no entry)" : run.entry) << ": " << PageRunText(run)
        << "\n";
  return kExitOk;
}

const bool registered = RegisterCommand({.name = "rd",
                                         .usage = "list | run [POSITION]",
                                         .help = "the R&D page: its list, or a double-click on "
                                                 "list POSITION (0-12; none: no selection)",
                                         .min_args = 1,
                                         .max_args = 2,
                                         .run = RdCommand});

}  // namespace
}  // namespace tarvo::cli
