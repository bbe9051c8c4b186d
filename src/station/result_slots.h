#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "station/stations.h"

namespace tarvo::station {

// The result slots of both stations, by what they judge. Each belongs to one station; its index
// in that station's result table is its row in SlotPlaces.
enum class Slot {
  kNone = -1,  // a step that sets no slot
  // Station 1
  kGrease,
  kHeadId,
  // Station 2
  kCt,
  kNozzleCheck,
  kTof,
  kMs1,
  kMs2,
  kVsd,
  kEcn,
  kG0sA4,
  kDischarge,
  kSf,
  kPhoto,
  kCard,
  kEnvelope,
};

// A slot label of the page: its text and the top-left corner of its 70 x 18 label. An optional
// slot (the prints S/F to Envelope) counts in the total only when it failed.
struct SlotPlace {
  Slot slot;
  std::string_view text;
  int x, y;
  bool optional = false;
};

// The slots of `station` in the order of its result table.
std::span<const SlotPlace> SlotPlaces(Station station);

// The station `slot` belongs to, and its index in that station's result table.
Station StationOf(Slot slot);
size_t SlotIndex(Slot slot);

}  // namespace tarvo::station
