#pragma once

#include <span>
#include <string_view>

#include "station/result_slots.h"
#include "station/stations.h"

namespace tarvo::station {

// What a row of a step list does when it is double-clicked.
enum class StepAction {
  kNothing,           // a separator line
  kGrease,            // Station change, Lubrication, the operator's verdict
  kInputHeadId,       // SetHeadID with the Station 1 settings
  kInitialDevice,     // the rows of kReadRomData, then kInputMachineNo and kInputMachineId
                      // when the ROM data passed
  kReadRomData,       // ReadData, the customer check, ReadFWVersion
  kInputMachineNo,    // the machine number into the chart label record
  kInputMachineId,    // the machine ID into the chart label record
  kChargeAndCheck,    // InkCharge, the nozzle check chart and its verdict
  kCleanAndCheck,     // NozzleClean in mode `argument`, the nozzle check chart and its verdict
  kInkCharge,         // InkCharge
  kNozzleClean,       // NozzleClean in mode `argument`
  kNozzleCheck,       // the nozzle check chart and its verdict
  kDeviceAdjustment,  // the rows of kTof and kBiD 0 to 3, each while the one before passed
  kTof,               // TOF and its verdict
  kBiD,               // BiAdjust in mode `argument` and its verdict
  kPrintAndInspect,   // PrintChart `argument` and the visual inspection of kind `argument`
  kInkDischarge,      // InkDisCharge, with the finishing data after a passed test
};

// One row of a step list: the text the list shows, what a double-click on it does, and the
// result slot the action sets.
struct StepRow {
  std::string_view text;
  StepAction action = StepAction::kNothing;
  int argument = 0;  // the cleaning mode, Bi-d mode, or chart and inspection kind
  Slot slot = Slot::kNone;
};

// The step list of `station`, one row per list position.
std::span<const StepRow> StepList(Station station);

// The row at list position `position` of `station`'s list; nullptr for a position the list
// does not have.
const StepRow* StepAt(Station station, int position);

// The list position of the first row doing `action` with `argument`, in the list of the station
// that has such a row; -1 when neither list has one.
int PositionOf(StepAction action, int argument = 0);

}  // namespace tarvo::station
