#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/printout.h"

namespace tarvo::sim {

// What the simulated printer keeps across runs. A fresh one is a printer from the parts store.
struct SimState {
  std::array<uint8_t, 128> eeprom;
  std::string firmware = "0073";  // four characters
  int temperature = 25;           // 0-255
  bool powered = true;
  int8_t last_tof = 0;
  std::array<uint8_t, 4> last_bid = {8, 8, 8, 8};
  std::vector<Printout> printouts;

  SimState() { eeprom.fill(0xFF); }
};

// The state file's form: 2 since print hashes are XXH3-64. A file without "version" is of form 1.
inline constexpr int kStateVersion = 2;

// The state file's text (JSON, keys in README.md).
std::string StateToJson(const SimState& state);

// Reads a state file's text. Keys that are missing keep the fresh printer's value; a text that is
// not JSON, or a key with a bad value, gives nothing and *error says why.
std::optional<SimState> StateFromJson(std::string_view text, std::string* error);

}  // namespace tarvo::sim
