#include "sim/sim_spec.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace tarvo::sim {
namespace {

std::optional<long> ParseInt(std::string_view text, int base, long min, long max) {
  if (base == 16 && (text.starts_with("0x") || text.starts_with("0X"))) text.remove_prefix(2);
  long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return {};
  if (value < min || value > max) return {};
  return value;
}

std::optional<bool> ParseBool(std::string_view text) {
  if (text == "1" || text == "true" || text == "yes") return true;
  if (text == "0" || text == "false" || text == "no") return false;
  return {};
}

// An EEPROM offset: "0x40" (hex) or "64".
std::optional<long> ParseOffset(std::string_view text) {
  if (text.starts_with("0x") || text.starts_with("0X")) return ParseInt(text, 16, 0, 127);
  return ParseInt(text, 10, 0, 127);
}

// "0x40-0x7f", "5", "0-2,0x40-0x7f": the EEPROM bytes named, each range from low to high.
std::optional<std::bitset<128>> ParseOffsetRanges(std::string_view text) {
  std::bitset<128> bytes;
  while (true) {
    size_t comma = text.find(',');
    std::string_view range = text.substr(0, comma);
    size_t dash = range.find('-');
    auto low = ParseOffset(range.substr(0, dash));
    auto high = dash == std::string_view::npos ? low : ParseOffset(range.substr(dash + 1));
    if (!low || !high || *low > *high) return {};
    for (long i = *low; i <= *high; ++i) bytes.set(static_cast<size_t>(i));
    if (comma == std::string_view::npos) return bytes;
    text.remove_prefix(comma + 1);
  }
}

bool Fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

bool Apply(SimSpec& spec, std::string_view key, std::string_view value, std::string* error) {
  auto bad_value = [&] {
    return Fail(error, "bad value \"" + std::string(value) + "\" for " + std::string(key));
  };
  auto set_int = [&](int& field, long min, long max) {
    auto v = ParseInt(value, 10, min, max);
    if (!v) return bad_value();
    field = static_cast<int>(*v);
    return true;
  };
  auto set_bool = [&](bool& field) {
    auto v = ParseBool(value);
    if (!v) return bad_value();
    field = *v;
    return true;
  };
  auto set_id = [&](uint16_t& field) {
    auto v = ParseInt(value, 16, 0, 0xFFFF);
    if (!v) return bad_value();
    field = static_cast<uint16_t>(*v);
    return true;
  };
  SimFaults& f = spec.faults;
  if (key == "status") return set_int(f.status_frames, 0, 1'000'000);
  if (key == "status_kind") {
    if (!IsStatusKind(value)) return bad_value();
    f.status_kind = value;
    return true;
  }
  if (key == "status_stream") return set_bool(f.status_stream);
  if (key == "silent") return set_bool(f.silent);
  if (key == "fail_write_after") return set_int(f.fail_write_after, -1, 1'000'000'000);
  if (key == "eeprom_sticks") return set_bool(f.eeprom_sticks);
  if (key == "eeprom_readonly") {
    auto bytes = ParseOffsetRanges(value);
    if (!bytes) return bad_value();
    f.eeprom_readonly = *bytes;
    return true;
  }
  if (key == "absent") return set_bool(f.absent);
  if (key == "appear_after") return set_int(f.appear_after, 0, 1'000'000'000);
  if (key == "vid") return set_id(spec.vendor_id);
  if (key == "pid") return set_id(spec.product_id);
  if (key == "interface") {
    int number = 0;
    if (!set_int(number, 0, 99)) return false;
    spec.composite_interface = number;
    return true;
  }
  return Fail(error, "unknown key \"" + std::string(key) + "\"");
}

}  // namespace

bool IsStatusKind(std::string_view kind) {
  static constexpr std::array<std::string_view, 8> kKinds = {"ST", "ER", "WR", "IQ",
                                                             "TC", "RC", "FF", "@"};
  for (auto k : kKinds) {
    if (k == kind) return true;
  }
  return false;
}

std::optional<SimSpec> ParseSimSpec(std::string_view text, std::string* error) {
  SimSpec spec;
  size_t query = text.find('?');
  std::string_view path = text.substr(0, query);
  if (!path.empty()) {
    if (path.front() != ':') {
      Fail(error, "expected \":STATE_FILE\" or \"?KEY=VALUE\" after \"sim\"");
      return {};
    }
    path.remove_prefix(1);
    if (path.empty()) {
      Fail(error, "empty state file name after \"sim:\"");
      return {};
    }
    spec.state_file = path;
  }
  if (query == std::string_view::npos) return spec;

  std::string_view rest = text.substr(query + 1);
  while (!rest.empty()) {
    size_t amp = rest.find('&');
    std::string_view pair = rest.substr(0, amp);
    rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
    size_t eq = pair.find('=');
    if (eq == std::string_view::npos) {
      Fail(error, "expected KEY=VALUE, got \"" + std::string(pair) + "\"");
      return {};
    }
    if (!Apply(spec, pair.substr(0, eq), pair.substr(eq + 1), error)) return {};
  }
  return spec;
}

std::string FormatSimSpec(const SimSpec& spec) {
  const SimSpec fresh;
  const SimFaults& f = spec.faults;
  std::string query;
  auto add = [&](std::string_view key, const std::string& value) {
    query += (query.empty() ? "?" : "&") + std::string(key) + "=" + value;
  };
  auto hex = [](unsigned value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", value);
    return std::string(buf);
  };
  if (f.status_frames != fresh.faults.status_frames) add("status", std::to_string(f.status_frames));
  if (f.status_kind != fresh.faults.status_kind) add("status_kind", f.status_kind);
  if (f.status_stream) add("status_stream", "1");
  if (f.silent) add("silent", "1");
  if (f.fail_write_after != fresh.faults.fail_write_after) {
    add("fail_write_after", std::to_string(f.fail_write_after));
  }
  if (!f.eeprom_sticks) add("eeprom_sticks", "0");
  if (f.eeprom_readonly.any()) {
    std::string ranges;
    for (size_t i = 0; i < f.eeprom_readonly.size(); ++i) {
      if (!f.eeprom_readonly[i]) continue;
      size_t end = i;
      while (end + 1 < f.eeprom_readonly.size() && f.eeprom_readonly[end + 1]) ++end;
      if (!ranges.empty()) ranges += ',';
      ranges += std::to_string(i) + (end > i ? "-" + std::to_string(end) : "");
      i = end;
    }
    add("eeprom_readonly", ranges);
  }
  if (f.absent) add("absent", "1");
  if (f.appear_after != fresh.faults.appear_after) {
    add("appear_after", std::to_string(f.appear_after));
  }
  if (spec.vendor_id != fresh.vendor_id) add("vid", hex(spec.vendor_id));
  if (spec.product_id != fresh.product_id) add("pid", hex(spec.product_id));
  if (spec.composite_interface) add("interface", std::to_string(*spec.composite_interface));
  return (spec.state_file.empty() ? "" : ":" + spec.state_file) + query;
}

}  // namespace tarvo::sim
