#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo {

// A test chart: the print file sent before the header page, the one sent after it, and the
// layout of the header page (1 multi-line, 0 compact).
struct Chart {
  std::string_view first_file;
  std::string_view second_file;
  int layout;
};

inline constexpr std::array<Chart, 19> kCharts = {{
    {"I_S14_1.prn", "I_S14_2.prn", 0},     // 0  GOS A4
    {"I_S15_1.prn", "I_S15_2.prn", 0},     // 1  S/F Letter
    {"I_S16_1.prn", "I_S16_2.prn", 0},     // 2
    {"I_S17_1.prn", "I_S17_2.prn", 1},     // 3  Post Card
    {"I_S18_1.prn", "I_S18_2.prn", 1},     // 4  Envelope
    {"I_NC_1.prn", "I_NC_2.prn", 0},       // 5  nozzle check
    {"I_TOF_1.prn", "I_NC_2.prn", 0},      // 6  TOF adjustment
    {"I_MS1_1.prn", "I_MS1_2.prn", 0},     // 7
    {"I_MS2_1.prn", "I_MS1_2.prn", 0},     // 8
    {"I_VSD_1.prn", "I_MS1_2.prn", 0},     // 9
    {"I_ECN_1.prn", "I_MS1_2.prn", 0},     // 10
    {"I_MS1_D1_1.prn", "I_MS1_2.prn", 0},  // 11 Bi-d MS1, later passes
    {"I_MS1_D2_1.prn", "I_MS1_2.prn", 0},  // 12 Bi-d MS1, first pass
    {"I_MS2_D1_1.prn", "I_MS1_2.prn", 0},  // 13
    {"I_MS2_D2_1.prn", "I_MS1_2.prn", 0},  // 14
    {"I_VSD_D1_1.prn", "I_MS1_2.prn", 0},  // 15
    {"I_VSD_D2_1.prn", "I_MS1_2.prn", 0},  // 16
    {"I_ECN_D1_1.prn", "I_MS1_2.prn", 0},  // 17
    {"I_ECN_D2_1.prn", "I_MS1_2.prn", 0},  // 18
}};

inline constexpr uint32_t kNozzleCheckChart = 5;
inline constexpr uint32_t kTofChart = 6;

// The chart of a number, or nothing above 18.
inline std::optional<Chart> FindChart(uint32_t number) {
  if (number >= kCharts.size()) return std::nullopt;
  return kCharts[number];
}

}  // namespace tarvo
