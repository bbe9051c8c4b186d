#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tarvo {

// Where a printer is sold: the code it carries in ModelName, the text the settings page lists,
// and what station 1 puts into ModelNumber and PageSize.
struct Destination {
  std::string_view code;  // 3 characters
  std::string_view text;
  uint8_t model_number;
  uint8_t page_size;
};

inline constexpr int kDestinationCount = 14;

// All rows, indexed by the destination index of the station settings.
std::span<const Destination> Destinations();
// The row for `index`, or nullptr when it is out of range (a settings file may hold anything).
const Destination* FindDestination(int index);

}  // namespace tarvo
