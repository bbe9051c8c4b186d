#pragma once

#include <string_view>

namespace tarvo::station {

// The two stations of the line, as the station selector lists them.
enum class Station { kHeadId = 0, kAdjustment = 1 };

inline constexpr std::string_view kStationNames[] = {"Station 1: Head ID", "Station 2: Adjustment"};

}  // namespace tarvo::station
