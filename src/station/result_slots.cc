#include "station/result_slots.h"

#include <algorithm>
#include <stdexcept>

#include "model/station_data.h"

namespace tarvo::station {
namespace {

constexpr SlotPlace kStation1Places[] = {
    {Slot::kGrease, "Grease", 150, 395},
    {Slot::kHeadId, "Head ID", 150, 417},
};

constexpr SlotPlace kStation2Places[] = {
    {Slot::kCt, "CT", 150, 395},
    {Slot::kNozzleCheck, "Nozzle Check", 150, 417},
    {Slot::kTof, "TOF", 150, 439},
    {Slot::kMs1, "MS1", 230, 395},
    {Slot::kMs2, "MS2", 230, 417},
    {Slot::kVsd, "VSD", 230, 439},
    {Slot::kEcn, "ECN", 310, 395},
    {Slot::kG0sA4, "G0S A4", 310, 417},
    {Slot::kDischarge, "DisCharge", 310, 439},
    {Slot::kSf, "S/F", 390, 395, true},
    {Slot::kPhoto, "Photo", 390, 417, true},
    {Slot::kCard, "Card", 390, 439, true},
    {Slot::kEnvelope, "Envelope", 470, 395, true},
};

// The tables are the result tables of the station data, one row per slot.
static_assert(std::size(kStation1Places) == kStation1Slots);
static_assert(std::size(kStation2Places) == kStation2Slots);

}  // namespace

std::span<const SlotPlace> SlotPlaces(Station station) {
  if (station == Station::kHeadId) return kStation1Places;
  return kStation2Places;
}

Station StationOf(Slot slot) {
  const auto places = SlotPlaces(Station::kHeadId);
  const bool first = std::any_of(places.begin(), places.end(),
                                 [slot](const SlotPlace& p) { return p.slot == slot; });
  return first ? Station::kHeadId : Station::kAdjustment;
}

size_t SlotIndex(Slot slot) {
  const auto places = SlotPlaces(StationOf(slot));
  const auto it = std::find_if(places.begin(), places.end(),
                               [slot](const SlotPlace& p) { return p.slot == slot; });
  if (it == places.end()) throw std::out_of_range("no result slot");
  return static_cast<size_t>(it - places.begin());
}

}  // namespace tarvo::station
