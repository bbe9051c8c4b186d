// The ROM data viewer page: "viewer list A", "viewer run A B", "viewer show".
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command.h"
#include "cli/page_output.h"
#include "cli/session.h"
#include "station/rom_viewer_page.h"
#include "station/station_settings.h"

namespace tarvo::cli {
namespace {

int Usage(Session& s) {
  s.err << "tarvo-cli: usage: viewer list A | viewer run A B | viewer show\n";
  return kExitUsage;
}

// The customer check of "Read ROM Data" in lists 0 and 1: against the Station 2 settings of the
// run's station folder.
station::CustomerCheck CustomerCheckOf(Session& s) {
  return [&s](const HeadBlock& read_block, ChartLabel& chart_label) {
    return station::CheckCustomer(s.ctx, s.station_files, read_block, chart_label).ok();
  };
}

// The page of the run, made and initialised by the first viewer command. It works on the run's
// blocks and chart label record, as the program's viewer shares the operation page's.
station::RomViewerPage& Viewer(Session& s) {
  if (!s.viewer) {
    s.viewer =
        std::make_unique<station::RomViewerPage>(s.ctx, s.link, s.station, CustomerCheckOf(s));
    s.viewer->Initialise();
  }
  return *s.viewer;
}

nlohmann::ordered_json DisplayJson(const station::RomViewerPage& page) {
  nlohmann::ordered_json j;
  j["drop_down"] = {{"index", page.drop_down_index()}, {"text", page.drop_down_text()}};
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  for (const station::ViewerField& f : station::FieldsOf(page.display())) {
    if (f.text) {
      fields[std::string(f.label)] = *f.text;
    } else {
      fields[std::string(f.label)] = f.number;
    }
  }
  j["fields"] = fields;
  return j;
}

int ViewerCommand(Session& s, std::span<const std::string> args) {
  const std::string& action = args[0];
  if (action == "show" && args.size() == 1) {
    s.out << DisplayJson(Viewer(s)).dump() << "\n";
    return kExitOk;
  }
  if ((action == "list" && args.size() == 2) || (action == "run" && args.size() == 3)) {
    std::optional<int> list = ParseInt(args[1]);
    std::optional<int> entry = action == "run" ? ParseInt(args[2]) : std::optional<int>(0);
    if (!list || !entry) return Usage(s);
    station::RomViewerPage& page = Viewer(s);
    page.Choose(*list);
    if (action == "list") {
      for (size_t i = 0; i < page.entries().size(); ++i) {
        s.out << i << " " << page.entries()[i] << "\n";
      }
      return kExitOk;
    }
    station::PageRun run = page.DoubleClick(*entry);
    s.out << "viewer: " << (run.entry.empty() ? "(no entry)" : run.entry) << ": "
          << PageRunText(run) << "\n";
    return kExitOk;
  }
  return Usage(s);
}

const bool registered =
    RegisterCommand({.name = "viewer",
                     .usage = "list A | run A B | show",
                     .help = "the ROM data viewer: list A (0 \"OOB \", 1 \"QRE \", 2 \"Product "
                             "Line\"), a double-click on its entry B, the display as JSON",
                     .min_args = 1,
                     .max_args = 3,
                     .run = ViewerCommand});

}  // namespace
}  // namespace tarvo::cli
