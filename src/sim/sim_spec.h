#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::sim {

// Misbehaviour the simulated printer can be told to show.
struct SimFaults {
  int status_frames = 0;           // status frames sent before each reply
  std::string status_kind = "ST";  // "ST","ER","WR","IQ","TC","RC","FF" or "@"
  bool status_stream = false;      // only status frames, forever (never a reply)
  bool silent = false;             // no replies at all (reads time out)
  int fail_write_after = -1;       // every write-pipe transfer after the first N fails (-1: never)
  bool eeprom_sticks = true;       // false: 0x81 writes are acknowledged but not stored
  std::bitset<128> eeprom_readonly;  // EEPROM bytes whose writes are acknowledged but dropped
  bool absent = false;               // no printer attached: Enumerate() lists nothing
  int appear_after = 0;              // the printer is listed only from the (N+1)th Enumerate() on
  bool operator==(const SimFaults&) const = default;
};

struct SimSpec {
  std::string state_file;  // empty: state kept in memory only
  SimFaults faults;
  uint16_t vendor_id = 0x0A3C, product_id = 0x7251;
  std::optional<int> composite_interface;  // set for device 4 (0x8802): its interface number
  bool operator==(const SimSpec&) const = default;
};

// Whether `kind` names a status frame the printer can send.
bool IsStatusKind(std::string_view kind);

// The text after "sim" in a printer name: "", ":/tmp/p.json",
// ":/tmp/p.json?status=3&status_kind=ER",
// "?absent=1". The state file runs up to the first '?'. Keys: status, status_kind, status_stream,
// silent, fail_write_after, eeprom_sticks, eeprom_readonly, absent, appear_after, vid, pid,
// interface. Nothing (and
// *error set, when given) for a bad key or value.
std::optional<SimSpec> ParseSimSpec(std::string_view text, std::string* error);

// The text ParseSimSpec reads back as `spec`: the state file, then every key that differs from a
// fresh printer's, in a fixed order ("" for a fresh printer in memory).
std::string FormatSimSpec(const SimSpec& spec);

}  // namespace tarvo::sim
