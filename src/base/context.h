#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/clock.h"
#include "base/edition.h"
#include "base/operator.h"
#include "base/settings_store.h"
#include "base/wire_log.h"

namespace tarvo {

// The ports every device operation works through, and the edition it serves. Owned by the front
// end; device code holds it by reference and reaches for nothing else.
struct Context {
  const Edition& edition;
  Clock& clock;
  Operator& op;
  SettingsStore& settings;
  WireLog& wire;
  // The station folder: where the chart, dot, shipping and station files are found by their
  // names. Empty: the process's current directory. Front ends set it absolute, so that nothing
  // the process does to its current directory moves it.
  std::filesystem::path station_dir{};

  // `name` as the device layer opens it: a relative name inside the station folder, an absolute
  // one (and an empty one, which names no file) as it is.
  std::string StationPath(std::string_view name) const;

  std::string_view Text(const EditionText& text) const { return edition.Text(text); }

  // A fixed wait of the device layer: logged, announced to the operator (so a front end can count
  // down), then slept on the clock.
  void Wait(int64_t ms) const;

  // Message boxes in the two styles the device layer uses.
  void Error(std::string_view text, std::string_view caption) const;
  void Info(std::string_view text, std::string_view caption) const;
};

}  // namespace tarvo
