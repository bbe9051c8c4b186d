#pragma once

#include <string>
#include <string_view>

#include "base/outcome.h"
#include "station/device_frame.h"

namespace tarvo::cli {

// How a page action ended, for the output line of the page commands: "off line", "nothing run",
// "done" or the outcome's kind and failing step.
inline std::string PageRunText(const station::PageRun& run) {
  if (run.offline()) return "off line";
  if (!run.ran()) return "nothing run";
  if (run.outcome.ok()) return "done";
  std::string text(KindName(run.outcome.kind));
  if (!run.outcome.step.empty()) text += " (" + run.outcome.step + ")";
  return text;
}

}  // namespace tarvo::cli
