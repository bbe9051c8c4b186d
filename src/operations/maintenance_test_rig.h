#pragma once

#include <string>
#include <vector>

#include "testing/device_rig.h"

namespace tarvo::testing_rig {

// A simulated printer on an open link, with a test operator and a virtual clock: what the
// maintenance and alignment tests drive their operations against. The traffic counts from the
// opening on.
struct SimRig : testing::DeviceRig {
  explicit SimRig(const Edition& edition, sim::SimFaults faults = {})
      : testing::DeviceRig(edition, std::move(faults)) {
    Open();
    wire_lines.Clear();
  }
};

// Faults of the simulated printer.
inline sim::SimFaults FailWritesAfter(int n) {
  sim::SimFaults f;
  f.fail_write_after = n;
  return f;
}
inline sim::SimFaults Silent() {
  sim::SimFaults f;
  f.silent = true;
  return f;
}
inline sim::SimFaults EepromDoesNotStick() {
  sim::SimFaults f;
  f.eeprom_sticks = false;
  return f;
}

using Lines = std::vector<std::string>;

inline Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Only the lines that satisfy `keep`.
template <typename Pred>
Lines Filter(const Lines& lines, Pred keep) {
  Lines out;
  for (const std::string& l : lines) {
    if (keep(l)) out.push_back(l);
  }
  return out;
}

inline size_t Count(const Lines& lines, const std::string& line) {
  size_t n = 0;
  for (const std::string& l : lines) n += l == line;
  return n;
}

}  // namespace tarvo::testing_rig
