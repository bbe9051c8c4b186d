#pragma once

#include <span>
#include <string_view>

namespace tarvo::station {

// The two stations of the line, as the station selector lists them.
enum class Station { kHeadId = 0, kAdjustment = 1 };

inline constexpr std::string_view kStationNames[] = {"Station 1: Head ID", "Station 2: Adjustment"};

// The step lists, one text per list position. The runner dispatches on the position.
std::span<const std::string_view> StepList(Station station);

// Positions of Station 2 with a meaning of their own.
inline constexpr int kInitialDevice = 0;
inline constexpr int kReadRomData = 1;
inline constexpr int kMachineNo = 2;
inline constexpr int kMachineId = 3;
inline constexpr int kDeviceAdjustment = 13;
inline constexpr int kPrintTof = 14;
inline constexpr int kFirstSeparator = 20;
inline constexpr int kSecondSeparator = 25;
inline constexpr int kInkDischarge = 26;

}  // namespace tarvo::station
