#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tarvo {

// The chart label record: who made the charts of a head and how often it was charged, cleaned
// and printed. The station host keeps it as 24 bytes and the header page prints it; everywhere
// else it is this record.
inline constexpr size_t kChartLabelSize = 24;
using ChartLabelBytes = std::array<uint8_t, kChartLabelSize>;

struct ChartLabel {
  // Printer characters, one byte each, a zero byte where nothing was entered.
  std::array<uint8_t, 2> jig_no{};       // bytes 0-1: the jig number, or "CT"
  std::array<uint8_t, 5> machine_no{};   // bytes 2-6
  std::array<uint8_t, 13> machine_id{};  // bytes 7-19
  // Counts, one byte each; they wrap at 256 as the record always did.
  uint8_t ink_charges = 0;       // byte 20
  uint8_t nozzle_cleanings = 0;  // byte 21
  uint8_t chart_prints = 0;      // byte 22
  uint8_t spare = 0;             // byte 23, carried as it is

  static ChartLabel Decode(std::span<const uint8_t, kChartLabelSize> bytes);
  ChartLabelBytes Encode() const;

  friend bool operator==(const ChartLabel&, const ChartLabel&) = default;
};

}  // namespace tarvo
