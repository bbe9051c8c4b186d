#pragma once

#include "base/edition.h"
#include "operations/maintenance_sequence.h"

namespace tarvo::sequences {

// The fixed sequences the printer's ink system and mechanics are driven with.
extern const Sequence kGroupA;
extern const Sequence kGroupB;
extern const Sequence kLubrication;
extern const Sequence kInkCharge;

// The ink discharge in its parts: up to the first jig prompt, one discharge cycle, what goes
// before every further cycle, and from the end of the cycles to the closing wait.
extern const Sequence kDisChargeStart;
extern const Sequence kDisChargeCycle;
extern const Sequence kDisChargeAgain;
extern const Sequence kDisChargeEnd;

// The column of the difference table for this edition and operation.
const DisChargeCopy& DisChargeCopyFor(const Edition& edition, bool power_off);

}  // namespace tarvo::sequences
