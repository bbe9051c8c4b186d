#pragma once

#include <cstdint>
#include <string_view>

#include "base/edition.h"

namespace tarvo {

// Told of the device layer's longer fixed waits (the grease, the motor runs of the ink system,
// the pause after a chart), each with a name, so that a front end can show the seconds left
// where the person looks: the program's status line, a terminal's countdown. Nothing it does
// reaches the printer; the wait itself is the clock's.
//
// Threads: called from the device thread. Begins returns at once (a window view queues the
// news to its own thread); Ends never throws, since it runs while an operation unwinds.
class WaitObserver {
 public:
  virtual ~WaitObserver() = default;
  // A wait of `ms` named `label` (the edition's words, "Greasing") begins now.
  virtual void Begins(std::string_view label, int64_t ms) = 0;
  // The wait told last has ended, at its time or cut short.
  virtual void Ends() noexcept = 0;
};

// Waits shorter than this are not told: a count that starts at 1 s says nothing.
inline constexpr int64_t kToldWaitFromMs = 2000;

// What the waits are called, in each edition's words.
namespace wait_labels {
inline constexpr EditionText kWaiting{"Waiting", "等待中"};
inline constexpr EditionText kGreasing{"Greasing", "注油中"};
inline constexpr EditionText kChargingInk{"Charging ink", "充墨中"};
inline constexpr EditionText kDischargingInk{"Discharging ink", "排墨中"};
inline constexpr EditionText kCleaningNozzles{"Cleaning nozzles", "清洗噴頭中"};
inline constexpr EditionText kPrintingChart{"Printing chart", "列印中"};
inline constexpr EditionText kPrintingDots{"Printing dots", "列印點重中"};
}  // namespace wait_labels

}  // namespace tarvo
