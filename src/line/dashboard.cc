#include "line/dashboard.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <set>

#include "base/hex.h"
#include "model/printer_text.h"
#include "model/rom_layout.h"

namespace tarvo::line {
namespace {

std::string Str(const Json& row, const char* key) {
  const auto it = row.find(key);
  return it != row.end() && it->is_string() ? it->get<std::string>() : std::string();
}

int Int(const Json& row, const char* key) {
  const auto it = row.find(key);
  return it != row.end() && it->is_number() ? it->get<int>() : 0;
}

// The printer a step names: its head ID, else its USB serial number; empty when neither.
std::string PrinterOf(const Json& step) {
  const std::string head = Str(step, "head_id");
  return head.empty() ? Str(step, "usb_serial") : head;
}

std::optional<std::chrono::system_clock::time_point> ParseUtc(const std::string& text) {
  std::tm tm{};
  if (text.size() < 19 || !strptime(text.c_str(), "%Y-%m-%dT%H:%M:%S", &tm)) return std::nullopt;
  return std::chrono::system_clock::from_time_t(timegm(&tm));
}

std::string Period(const std::string& started, const std::string& by) {
  if (started.size() < 13) return started.substr(0, 10);
  const std::string day = started.substr(0, 10);
  if (by == "hour") return started.substr(0, 13) + ":00";
  if (by != "shift") return day;
  const int hour = std::atoi(started.substr(11, 2).c_str());
  if (hour >= 6 && hour < 14) return day + " early";
  if (hour >= 14 && hour < 22) return day + " late";
  if (hour >= 22) return day + " night";
  // The small hours belong to the night shift of the day before.
  std::tm tm{};
  strptime(day.c_str(), "%Y-%m-%d", &tm);
  tm.tm_mday -= 1;
  tm.tm_hour = 12;
  const time_t t = timegm(&tm);
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
  return std::string(text) + " night";
}

Json Share(int part, int whole) {
  return whole ? Json(std::round(1000.0 * part / whole) / 1000.0) : Json(nullptr);
}

}  // namespace

std::string TotalText(int total) {
  return total == 1 ? "PASS" : total == 0 ? "FAIL" : "Testing";
}

Json LineNow(const Rows& last_steps, std::chrono::system_clock::time_point now,
             const Thresholds& thresholds) {
  Json stations = Json::array();
  for (const Json& s : last_steps) {
    Json row = Json::object();
    for (const char* key : {"host", "station", "station_no", "belt_name", "pc_name", "jig_no",
                            "text", "usb_serial", "head_id", "machine_id"}) {
      row[key] = s.contains(key) ? s[key] : Json("");
    }
    row["result"] = TotalText(Int(s, "total"));
    std::string ended = Str(s, "ended_utc");
    if (ended.empty()) ended = Str(s, "started_utc");
    row["ended_utc"] = ended;
    Json since = nullptr;
    std::string state = "silent";
    if (auto at = ParseUtc(ended)) {
      const auto seconds =
          std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::seconds>(now - *at).count());
      since = seconds;
      state = seconds < thresholds.idle_s     ? "working"
              : seconds < thresholds.silent_s ? "idle"
                                              : "silent";
    }
    row["seconds_since"] = since;
    row["state"] = state;
    row["uid"] = Str(s, "uid");
    stations.push_back(std::move(row));
  }
  return Json{{"stations", std::move(stations)}};
}

Json Yield(const Rows& counts, const std::string& by) {
  struct Group {
    std::map<std::string, int> last_total;
    std::set<std::string> failed_once;
    int unidentified = 0;
  };
  // Ordered by period, host, station.
  std::map<std::tuple<std::string, std::string, int>, Group> groups;
  for (const Json& s : counts) {
    Group& g = groups[{Period(Str(s, "started"), by), Str(s, "host"), Int(s, "station")}];
    // A step is a count of one.
    const bool counted = s.contains("steps");
    const std::string printer = counted ? Str(s, "printer") : PrinterOf(s);
    if (printer.empty()) {
      g.unidentified += counted ? Int(s, "steps") : 1;
      continue;
    }
    const int total = Int(s, "total");
    g.last_total[printer] = total;
    if (counted ? Int(s, "failed_steps") > 0 : total == 0) g.failed_once.insert(printer);
  }
  Json rows = Json::array();
  int all = 0, all_passed = 0, all_failed = 0, all_first = 0;
  for (const auto& [key, g] : groups) {
    int passed = 0, failed = 0, first = 0;
    for (const auto& [printer, total] : g.last_total) {
      if (total == 1) ++passed;
      if (total == 0) ++failed;
      if (total == 1 && !g.failed_once.contains(printer)) ++first;
    }
    const int printers = static_cast<int>(g.last_total.size());
    rows.push_back({{"period", std::get<0>(key)},
                    {"host", std::get<1>(key)},
                    {"station", std::get<2>(key)},
                    {"printers", printers},
                    {"passed", passed},
                    {"failed", failed},
                    {"first_pass", first},
                    {"first_pass_yield", Share(first, printers)},
                    {"steps_naming_no_printer", g.unidentified}});
    all += printers;
    all_passed += passed;
    all_failed += failed;
    all_first += first;
  }
  return Json{{"by", by},
              {"rows", std::move(rows)},
              {"totals", Json::array({{{"printers", all},
                                       {"passed", all_passed},
                                       {"failed", all_failed},
                                       {"first_pass", all_first},
                                       {"first_pass_yield", Share(all_first, all)}}})}};
}

namespace {

// Each failed slot of each failed step: (slot name, the step).
template <typename F>
void EachFailedSlot(const Rows& failed_steps, F f) {
  for (const Json& s : failed_steps) {
    const auto slots = s.find("slots");
    if (slots == s.end() || !slots->is_array()) continue;
    for (const Json& slot : *slots) {
      if (slot.value("result", 2) == 0 && slot.contains("name") && slot["name"].is_string()) {
        f(slot["name"].get<std::string>(), s);
      }
    }
  }
}

}  // namespace

Json Failures(const Rows& failed_steps) {
  std::map<std::string, std::set<std::string>> printers;
  std::map<std::string, int> failures;
  EachFailedSlot(failed_steps, [&](const std::string& slot, const Json& step) {
    ++failures[slot];
    printers[slot].insert(PrinterOf(step));
  });
  std::vector<std::pair<std::string, int>> order(failures.begin(), failures.end());
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  int total = 0;
  for (const auto& [slot, n] : order) total += n;
  Json rows = Json::array();
  int running = 0;
  for (const auto& [slot, n] : order) {
    running += n;
    rows.push_back({{"slot", slot},
                    {"failures", n},
                    {"printers", static_cast<int>(printers[slot].size())},
                    {"cumulative_share", Share(running, total)}});
  }
  return Json{{"slots", std::move(rows)}};
}

Json FailedPrinters(const Rows& failed_steps, const std::string& slot) {
  Json rows = Json::array();
  EachFailedSlot(failed_steps, [&](const std::string& name, const Json& s) {
    if (name != slot) return;
    rows.push_back({{"usb_serial", Str(s, "usb_serial")},
                    {"head_id", Str(s, "head_id")},
                    {"machine_id", Str(s, "machine_id")},
                    {"host", Str(s, "host")},
                    {"station", Int(s, "station")},
                    {"started", Str(s, "started")},
                    {"text", Str(s, "text")}});
  });
  return Json{{"slot", slot}, {"printers", std::move(rows)}};
}

namespace {

constexpr const char* kAdjustmentFields[] = {"tof", "ms1", "ms2", "vsd", "ecn"};

struct Stats {
  double mean = 0;
  double sd = 0;
};

Stats StatsOf(const std::vector<double>& v) {
  Stats s;
  if (v.empty()) return s;
  for (double x : v) s.mean += x;
  s.mean /= static_cast<double>(v.size());
  if (v.size() < 2) return s;
  double sum = 0;
  for (double x : v) sum += (x - s.mean) * (x - s.mean);
  s.sd = std::sqrt(sum / static_cast<double>(v.size() - 1));
  return s;
}

double Round(double x, double step = 1000.0) {
  return std::round(x * step) / step;
}

}  // namespace

Json Adjustments(const Rows& steps) {
  // Each printer's last Station 2 step: the values it left in the printer.
  std::map<std::string, const Json*> last;
  std::vector<std::string> order;
  for (const Json& s : steps) {
    if (Int(s, "station") != 2) continue;
    const std::string printer = PrinterOf(s);
    if (printer.empty()) continue;
    if (!last.contains(printer)) order.push_back(printer);
    last[printer] = &s;
  }
  Json values = Json::array();
  for (const std::string& printer : order) {
    const Json& s = *last[printer];
    Json row = {{"day", Str(s, "started").substr(0, 10)},
                {"usb_serial", Str(s, "usb_serial")},
                {"head_id", Str(s, "head_id")}};
    for (const char* f : kAdjustmentFields) row[f] = Int(s, f);
    values.push_back(std::move(row));
  }
  Json histogram = Json::array();
  Json control = Json::array();
  for (const char* f : kAdjustmentFields) {
    std::map<int, int> counts;
    std::map<std::string, std::vector<double>> by_day;
    std::vector<double> all;
    for (const Json& v : values) {
      ++counts[v[f].get<int>()];
      by_day[v["day"].get<std::string>()].push_back(v[f].get<int>());
      all.push_back(v[f].get<int>());
    }
    for (const auto& [value, n] : counts) {
      histogram.push_back({{"field", f}, {"value", value}, {"count", n}});
    }
    const Stats overall = StatsOf(all);
    for (const auto& [day, xs] : by_day) {
      const Stats d = StatsOf(xs);
      const double half = 3 * overall.sd / std::sqrt(static_cast<double>(xs.size()));
      const double lcl = overall.mean - half, ucl = overall.mean + half;
      control.push_back({{"field", f},
                         {"day", day},
                         {"n", static_cast<int>(xs.size())},
                         {"mean", Round(d.mean)},
                         {"center", Round(overall.mean)},
                         {"lcl", Round(lcl)},
                         {"ucl", Round(ucl)},
                         {"outside", d.mean < lcl - 1e-9 || d.mean > ucl + 1e-9}});
    }
  }
  return Json{{"values", std::move(values)},
              {"histogram", std::move(histogram)},
              {"control", std::move(control)}};
}

Json DotWeights(const Rows& measurements) {
  Json rows = Json::array();
  std::map<std::string, std::pair<int, int>> per_kind;  // measured, outside
  for (const Json& m : measurements) {
    const double average = m.value("average", 0.0);
    const double low = m.value("low", 0.0), high = m.value("high", 0.0);
    const bool outside = average < low || average > high;
    auto& [n, out] = per_kind[Str(m, "kind")];
    ++n;
    if (outside) ++out;
    rows.push_back({{"time", Str(m, "time")},
                    {"kind", Str(m, "kind")},
                    {"usb_serial", Str(m, "usb_serial")},
                    {"head_id", Str(m, "head_id")},
                    {"average", average},
                    {"low", low},
                    {"high", high},
                    {"passed", m.value("passed", false)},
                    {"outside", outside},
                    {"host", Str(m, "host")}});
  }
  Json summary = Json::array();
  for (const auto& [kind, counts] : per_kind) {
    summary.push_back({{"kind", kind},
                       {"measurements", counts.first},
                       {"outside", counts.second},
                       {"share_outside", Share(counts.second, counts.first)}});
  }
  return Json{{"measurements", std::move(rows)}, {"summary", std::move(summary)}};
}

namespace {

Json FieldValue(std::span<const uint8_t> bytes, const RomField& f) {
  switch (f.type) {
    case FieldType::kChars:
      return DecodePrinterText(GetChars(bytes, f));
    case FieldType::kFloat:
      return Round(GetFloat(bytes, f), 1e6);
    case FieldType::kSigned:
    case FieldType::kUnsigned:
      return GetInt(bytes, f);
    case FieldType::kUnnamed:
      break;
  }
  return ToHex(bytes.subspan(f.offset, f.size));
}

std::vector<uint8_t> Bytes(const Json& entry, const char* key) {
  return FromHex(Str(entry, key)).value_or(std::vector<uint8_t>{});
}

bool Same(std::span<const uint8_t> a, std::span<const uint8_t> b, const RomField& f) {
  return std::equal(a.begin() + f.offset, a.begin() + f.offset + f.size, b.begin() + f.offset);
}

}  // namespace

Json JournalFields(const records::Row& entry) {
  const std::vector<uint8_t> before = Bytes(entry, "before"), written = Bytes(entry, "written"),
                             read_back = Bytes(entry, "read_back");
  Json fields = Json::array();
  for (const RomField& f : RomFields()) {
    if (f.offset + f.size > written.size()) break;
    const bool has_before = before.size() == written.size();
    const bool has_read_back = read_back.size() == written.size();
    fields.push_back({{"offset", f.offset},
                      {"name", f.name.empty() ? std::string("(unnamed)") : std::string(f.name)},
                      {"before", has_before ? FieldValue(before, f) : Json(nullptr)},
                      {"written", FieldValue(written, f)},
                      {"read_back", has_read_back ? FieldValue(read_back, f) : Json(nullptr)},
                      {"changed", has_before && !Same(before, written, f)},
                      {"read_back_differs", has_read_back && !Same(written, read_back, f)}});
  }
  return fields;
}

Json Printer(const records::PrinterKey& key, const Rows& steps, const Rows& journal,
             const Rows& dot_weights) {
  Json step_rows = Json::array();
  for (const Json& s : steps) {
    Json row = s;
    row["result"] = TotalText(Int(s, "total"));
    step_rows.push_back(std::move(row));
  }
  Json entries = Json::array();
  for (const Json& e : journal) {
    Json row = Json::object();
    for (const char* k :
         {"uid", "time", "operation", "host", "area", "check", "usb_serial", "head_id"}) {
      row[k] = e.contains(k) ? e[k] : Json("");
    }
    row["fields"] = JournalFields(e);
    int changed = 0;
    for (const Json& f : row["fields"]) changed += f["changed"].get<bool>() ? 1 : 0;
    row["changed_fields"] = changed;
    entries.push_back(std::move(row));
  }
  return Json{{"printer", {{"usb_serial", key.usb_serial}, {"head_id", key.head_id}}},
              {"steps", std::move(step_rows)},
              {"journal", std::move(entries)},
              {"dot_weights", DotWeights(dot_weights)["measurements"]}};
}

}  // namespace tarvo::line
