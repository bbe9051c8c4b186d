#include "model/chart_label.h"

#include <algorithm>

namespace tarvo {
namespace {

constexpr size_t kJigNoAt = 0;
constexpr size_t kMachineNoAt = 2;
constexpr size_t kMachineIdAt = 7;
constexpr size_t kInkChargesAt = 20;
constexpr size_t kNozzleCleaningsAt = 21;
constexpr size_t kChartPrintsAt = 22;
constexpr size_t kSpareAt = 23;

template <size_t N>
void Take(std::span<const uint8_t, kChartLabelSize> bytes, size_t at, std::array<uint8_t, N>& to) {
  std::copy_n(bytes.begin() + at, N, to.begin());
}

template <size_t N>
void Put(const std::array<uint8_t, N>& from, size_t at, ChartLabelBytes& bytes) {
  std::copy(from.begin(), from.end(), bytes.begin() + at);
}

}  // namespace

ChartLabel ChartLabel::Decode(std::span<const uint8_t, kChartLabelSize> bytes) {
  ChartLabel label;
  Take(bytes, kJigNoAt, label.jig_no);
  Take(bytes, kMachineNoAt, label.machine_no);
  Take(bytes, kMachineIdAt, label.machine_id);
  label.ink_charges = bytes[kInkChargesAt];
  label.nozzle_cleanings = bytes[kNozzleCleaningsAt];
  label.chart_prints = bytes[kChartPrintsAt];
  label.spare = bytes[kSpareAt];
  return label;
}

ChartLabelBytes ChartLabel::Encode() const {
  ChartLabelBytes bytes{};
  Put(jig_no, kJigNoAt, bytes);
  Put(machine_no, kMachineNoAt, bytes);
  Put(machine_id, kMachineIdAt, bytes);
  bytes[kInkChargesAt] = ink_charges;
  bytes[kNozzleCleaningsAt] = nozzle_cleanings;
  bytes[kChartPrintsAt] = chart_prints;
  bytes[kSpareAt] = spare;
  return bytes;
}

}  // namespace tarvo
