// The station commands: "station select 1|2", "station list", "station run POSITION",
// "station show" and "station setup 1|2|offsets|ink", over the step runner of the operation page
// and the buttons of the settings page.
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command.h"
#include "cli/session.h"
#include "station/settings_page.h"
#include "station/step_runner.h"

namespace tarvo::cli {
namespace {

constexpr std::string_view kUsage =
    "select 1|2 | list | run POSITION | show | setup 1|2|offsets|ink";

station::StepRunner& Runner(Session& s) {
  if (!s.station_runner) {
    s.station_runner =
        std::make_unique<station::StepRunner>(s.ctx, s.link, s.station, s.station_files);
    s.station_runner->Initialise();
  }
  return *s.station_runner;
}

bool ParseInt(const std::string& text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// "1" or "2" as the station's index 0 or 1.
bool ParseStation(const std::string& text, int& index) {
  if (text != "1" && text != "2") return false;
  index = text == "1" ? 0 : 1;
  return true;
}

int Usage(Session& s) {
  s.err << "tarvo-cli: usage: station " << kUsage << "\n";
  return kExitUsage;
}

// A separator and a position past the list end as "done" too: the double-click was handled.
std::string_view RunEndText(station::RunEnd end) {
  switch (end) {
    case station::RunEnd::kOffline:
      return "off line";
    case station::RunEnd::kRefused:
      return "refused";
    case station::RunEnd::kNothing:
    case station::RunEnd::kRan:
      break;
  }
  return "done";
}

std::string_view ResultName(uint8_t result) {
  return result == kResultPass ? "PASS" : result == kResultFail ? "FAIL" : "not run";
}

std::string FieldName(std::string_view label) {
  while (!label.empty() && (label.back() == ':' || label.back() == ' ')) label.remove_suffix(1);
  return std::string(label);
}

nlohmann::ordered_json PageJson(const station::StepRunner& runner, const StationData& data) {
  const station::OperationPage& page = runner.page();
  nlohmann::ordered_json j;
  if (page.selection < 0) {
    j["station"] = nullptr;  // nothing selected: the page behaves as Station 2
  } else {
    j["station"] = page.selection + 1;
  }
  nlohmann::ordered_json fields = nlohmann::ordered_json::object();
  for (const station::PageField& f : page.fields) fields[FieldName(f.label)] = f.text;
  j["fields"] = fields;
  nlohmann::ordered_json slots = nlohmann::ordered_json::array();
  const auto results = runner.results();
  for (size_t i = 0; i < page.slot_labels.size(); ++i) {
    slots.push_back({{"text", page.slot_labels[i].text},
                     {"state", page.slot_labels[i].state},
                     {"result", i < results.size() ? ResultName(results[i]) : "not run"}});
  }
  j["slots"] = slots;
  j["total"] = {{"text", page.total.text}, {"state", page.total.state}};
  j["write_rom_fail"] = {{"text", page.write_rom_fail.text}, {"state", page.write_rom_fail.state}};
  j["rom_write_failures"] = data.rom_write_failures;
  return j;
}

int StationCommand(Session& s, std::span<const std::string> args) {
  const std::string& sub = args[0];
  const bool has_arg = args.size() == 2;
  int number = 0;
  if (sub == "select") {
    if (!has_arg || !ParseStation(args[1], number)) return Usage(s);
    station::StepRunner& runner = Runner(s);
    runner.SelectStation(number);
    s.out << "station select: " << station::kStationNames[number] << "\n";
    return kExitOk;
  }
  if (sub == "list") {
    if (has_arg) return Usage(s);
    const station::StepRunner& runner = Runner(s);
    for (size_t i = 0; i < runner.page().steps.size(); ++i)
      s.out << i << " " << runner.page().steps[i] << "\n";
    return kExitOk;
  }
  if (sub == "run") {
    if (!has_arg || !ParseInt(args[1], number)) return Usage(s);
    const station::RunEnd end = Runner(s).Run(number);
    s.out << "station run " << number << ": " << RunEndText(end) << " (total "
          << s.station_runner->page().total.text << ")\n";
    // The double-click was handled, whatever it showed: the page tells the rest.
    return kExitOk;
  }
  if (sub == "show") {
    if (has_arg) return Usage(s);
    s.out << PageJson(Runner(s), s.station).dump() << "\n";
    return kExitOk;
  }
  if (sub == "setup" && has_arg && (args[1] == "offsets" || args[1] == "ink")) {
    // The printer option editors: the settings store, not the station folder.
    const Outcome out =
        args[1] == "offsets" ? station::EditOffsetSettings(s.ctx) : station::EditInkSettings(s.ctx);
    s.out << "station setup " << args[1] << ": " << (out ? "saved" : KindName(out.kind)) << "\n";
    return out ? kExitOk : kExitFailed;
  }
  if (sub == "setup") {
    if (!has_arg || !ParseStation(args[1], number)) return Usage(s);
    const Outcome out = number == 0 ? station::EditStation1Settings(s.ctx, s.station_files)
                                    : station::EditStation2Settings(s.ctx, s.station_files);
    s.out << "station setup " << number + 1 << ": " << (out ? "saved" : KindName(out.kind)) << "\n";
    return out ? kExitOk : kExitFailed;
  }
  return Usage(s);
}

const bool registered =
    RegisterCommand({.name = "station",
                     .usage = kUsage,
                     .help = "the station page: choose the station, list and "
                             "run its steps, show the page, edit its settings and the "
                             "printer option settings",
                     .min_args = 1,
                     .max_args = 2,
                     .needs_link = false,
                     .run = StationCommand});

}  // namespace
}  // namespace tarvo::cli
