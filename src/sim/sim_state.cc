#include "sim/sim_state.h"

#include <nlohmann/json.hpp>

#include "base/hex.h"

namespace tarvo::sim {
namespace {

using nlohmann::json;

// Header lines are bytes (a fresh EEPROM prints as 0xFF characters); JSON wants UTF-8. Each byte
// is stored as the code point of the same number, so any line goes in and comes back unchanged.
std::string BytesToUtf8(std::string_view bytes) {
  std::string out;
  for (char c : bytes) {
    auto b = static_cast<uint8_t>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::optional<std::string> Utf8ToBytes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    auto b = static_cast<uint8_t>(text[i]);
    if (b < 0x80) {
      out += text[i];
    } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
               (static_cast<uint8_t>(text[i + 1]) & 0xC0) == 0x80) {
      out += static_cast<char>(((b & 0x03) << 6) | (static_cast<uint8_t>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      return {};  // a character the printer cannot have printed
    }
  }
  return out;
}

bool IsHash(const std::string& text) {
  if (text.size() != 16) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

struct Bad {
  std::string what;
};

// The hash version of a printed file: its own "hash_version", else the file's.
int HashVersion(const json& file, int file_version) {
  if (!file.contains("hash_version")) return file_version;
  const json& v = file["hash_version"];
  if (!v.is_number_unsigned() || v.get<uint64_t>() < 1 || v.get<uint64_t>() > kPrintHashVersion) {
    throw Bad{"a printed file has a bad \"hash_version\""};
  }
  return v.get<int>();
}

std::vector<Printout> ReadPrintouts(const json& list, int file_version) {
  if (!list.is_array()) throw Bad{"\"printouts\" is not a list"};
  std::vector<Printout> out;
  for (const json& item : list) {
    if (!item.is_object()) throw Bad{"a printout is not an object"};
    Printout p;
    const json files = item.value("files", json::array());
    const json lines = item.value("header_lines", json::array());
    if (!files.is_array() || !lines.is_array()) throw Bad{"a printout has bad files or lines"};
    for (const json& f : files) {
      if (!f.is_object() || !f.contains("size") || !f["size"].is_number_unsigned() ||
          !f.contains("hash") || !f["hash"].is_string() || !IsHash(f["hash"].get<std::string>())) {
        throw Bad{"a printed file needs \"size\" and a 16-digit \"hash\""};
      }
      p.files.push_back(
          {f["size"].get<uint64_t>(), f["hash"].get<std::string>(), HashVersion(f, file_version)});
    }
    for (const json& l : lines) {
      auto bytes = l.is_string() ? Utf8ToBytes(l.get<std::string>()) : std::nullopt;
      if (!bytes) throw Bad{"a header line is not a text of bytes"};
      p.header_lines.push_back(std::move(*bytes));
    }
    if (item.contains("header_position") && !item["header_position"].is_null()) {
      const json& pos = item["header_position"];
      if (!pos.is_number_unsigned() || pos.get<uint64_t>() > p.files.size()) {
        throw Bad{"a printout has a bad \"header_position\""};
      }
      p.header_position = pos.get<size_t>();
    }
    out.push_back(std::move(p));
  }
  return out;
}

SimState Read(const json& doc) {
  if (!doc.is_object()) throw Bad{"not a JSON object"};
  SimState s;
  if (doc.contains("eeprom")) {
    const json& v = doc["eeprom"];
    auto bytes = v.is_string() ? FromHex(v.get<std::string>()) : std::nullopt;
    if (!bytes || bytes->size() != s.eeprom.size()) throw Bad{"\"eeprom\" is not 256 hex digits"};
    std::copy(bytes->begin(), bytes->end(), s.eeprom.begin());
  }
  if (doc.contains("firmware")) {
    const json& v = doc["firmware"];
    auto bytes = v.is_string() ? Utf8ToBytes(v.get<std::string>()) : std::nullopt;
    if (!bytes || bytes->size() != 4) throw Bad{"\"firmware\" is not 4 characters"};
    s.firmware = *bytes;
  }
  if (doc.contains("temperature")) {
    const json& v = doc["temperature"];
    if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > 255) {
      throw Bad{"\"temperature\" is not a number from 0 to 255"};
    }
    s.temperature = v.get<int>();
  }
  if (doc.contains("powered")) {
    if (!doc["powered"].is_boolean()) throw Bad{"\"powered\" is not true or false"};
    s.powered = doc["powered"].get<bool>();
  }
  if (doc.contains("last_tof")) {
    const json& v = doc["last_tof"];
    if (!v.is_number_integer() || v.get<int64_t>() < -128 || v.get<int64_t>() > 127) {
      throw Bad{"\"last_tof\" is not a number from -128 to 127"};
    }
    s.last_tof = static_cast<int8_t>(v.get<int>());
  }
  if (doc.contains("last_bid")) {
    const json& v = doc["last_bid"];
    if (!v.is_array() || v.size() != 4) throw Bad{"\"last_bid\" is not four numbers"};
    for (size_t i = 0; i < 4; ++i) {
      if (!v[i].is_number_unsigned() || v[i].get<uint64_t>() > 255) {
        throw Bad{"\"last_bid\" is not four numbers from 0 to 255"};
      }
      s.last_bid[i] = static_cast<uint8_t>(v[i].get<int>());
    }
  }
  // Files from before the key was kept are version 1: their hashes are of the former print hash.
  int version = 1;
  if (doc.contains("version")) {
    const json& v = doc["version"];
    if (!v.is_number_unsigned() || v.get<uint64_t>() < 1) throw Bad{"\"version\" is not a number"};
    if (v.get<uint64_t>() > kStateVersion) {
      throw Bad{"\"version\" " + v.dump() + " is newer than this simulated printer"};
    }
    version = v.get<int>();
  }
  if (doc.contains("printouts")) s.printouts = ReadPrintouts(doc["printouts"], version);
  return s;
}

}  // namespace

std::string StateToJson(const SimState& state) {
  json printouts = json::array();
  for (const Printout& p : state.printouts) {
    json files = json::array();
    for (const PrintedFile& f : p.files) {
      json file = {{"size", f.size}, {"hash", f.hash}};
      if (f.hash_version != kPrintHashVersion) file["hash_version"] = f.hash_version;
      files.push_back(std::move(file));
    }
    json lines = json::array();
    for (const std::string& l : p.header_lines) lines.push_back(BytesToUtf8(l));
    json item = {{"files", files}, {"header_lines", lines}};
    item["header_position"] = p.header_position ? json(*p.header_position) : json(nullptr);
    printouts.push_back(std::move(item));
  }
  json doc = {
      {"eeprom", ToHex(state.eeprom)},    {"firmware", BytesToUtf8(state.firmware)},
      {"temperature", state.temperature}, {"powered", state.powered},
      {"last_tof", state.last_tof},       {"last_bid", state.last_bid},
      {"printouts", printouts},           {"version", kStateVersion},
  };
  return doc.dump(2) + "\n";
}

std::optional<SimState> StateFromJson(std::string_view text, std::string* error) {
  try {
    return Read(json::parse(text));
  } catch (const Bad& bad) {
    if (error) *error = bad.what;
  } catch (const json::exception& e) {
    if (error) *error = std::string("not valid JSON: ") + e.what();
  }
  return {};
}

}  // namespace tarvo::sim
