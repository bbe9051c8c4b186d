#include "station/step_lists.h"

#include <algorithm>

namespace tarvo::station {
namespace {

using enum StepAction;

constexpr std::string_view kSeparator = "-------------------------------------------------------";
static_assert(kSeparator.size() == 55);

// Cleaning modes of NozzleClean.
constexpr int kCl1 = 1;
constexpr int kCl2 = 2;
constexpr int kCl1D = 3;

// Bi-d modes of BiAdjust.
constexpr int kMs1 = 0;
constexpr int kMs2 = 1;
constexpr int kVsd = 2;
constexpr int kEcn = 3;

constexpr StepRow kStation1Steps[] = {
    {" 1. Lubrication of Grease", kGrease, 0, Slot::kGrease},
    {" 2. Input Head ID", kInputHeadId, 0, Slot::kHeadId},
};

// A print row's argument is both its chart and its inspection kind.
constexpr StepRow kStation2Steps[] = {
    {" 1. Inital Device", kInitialDevice},
    {"    1-1. Read ROM Data / Check CT Setting", kReadRomData, 0, Slot::kCt},
    {"    1-2. Input Machine No.", kInputMachineNo},
    {"    1-3. Input Machine ID", kInputMachineId},
    {" 2. Ink Charge / Print - Nozzle Check", kChargeAndCheck, 0, Slot::kNozzleCheck},
    {"    2-1. Nozzle Cleaning - CL1 / Print - Nozzle Check", kCleanAndCheck, kCl1,
     Slot::kNozzleCheck},
    {"    2-2. Nozzle Cleaning - CL1D / Print - Nozzle Check", kCleanAndCheck, kCl1D,
     Slot::kNozzleCheck},
    {"    2-3. Nozzle Cleaning - CL2 / Print - Nozzle Check", kCleanAndCheck, kCl2,
     Slot::kNozzleCheck},
    {"    2-4. Ink Charge", kInkCharge},
    {"    2-5. Nozzle Cleaning - CL1", kNozzleClean, kCl1},
    {"    2-6. Nozzle Cleaning - CL1D", kNozzleClean, kCl1D},
    {"    2-7. Nozzle Cleaning - CL2", kNozzleClean, kCl2},
    {"    2-8. Print - Nozzle Check", kNozzleCheck, 0, Slot::kNozzleCheck},
    {" 3. Device Adjustment", kDeviceAdjustment},
    {"    3-1. Print - TOF", kTof, 0, Slot::kTof},
    {"    3-2. Print - Bi-d MS1", kBiD, kMs1, Slot::kMs1},
    {"    3-3. Print - Bi-d MS2", kBiD, kMs2, Slot::kMs2},
    {"    3-4. Print - Bi-d VSD", kBiD, kVsd, Slot::kVsd},
    {"    3-5. Print - Bi-d ECN", kBiD, kEcn, Slot::kEcn},
    {" 4. Print - G0S A4", kPrintAndInspect, 0, Slot::kG0sA4},
    {kSeparator},
    {" 5. Print - S/F Letter", kPrintAndInspect, 1, Slot::kSf},
    {" 6. Print - Photo", kPrintAndInspect, 2, Slot::kPhoto},
    {" 7. Print - Post Card", kPrintAndInspect, 3, Slot::kCard},
    {" 8. Print - Envelope", kPrintAndInspect, 4, Slot::kEnvelope},
    {kSeparator},
    {" 9. Ink DisCharge", kInkDischarge, 0, Slot::kDischarge},
};
static_assert(std::size(kStation2Steps) == 27);

constexpr bool Has(std::span<const StepRow> list, StepAction action, int argument = 0) {
  return std::any_of(list.begin(), list.end(), [&](const StepRow& row) {
    return row.action == action && row.argument == argument;
  });
}

// The rows the two chains run are there to be found.
static_assert(Has(kStation2Steps, kReadRomData) && Has(kStation2Steps, kInputMachineNo) &&
              Has(kStation2Steps, kInputMachineId));
static_assert(Has(kStation2Steps, kTof) && Has(kStation2Steps, kBiD, kMs1) &&
              Has(kStation2Steps, kBiD, kMs2) && Has(kStation2Steps, kBiD, kVsd) &&
              Has(kStation2Steps, kBiD, kEcn));

}  // namespace

std::span<const StepRow> StepList(Station station) {
  if (station == Station::kHeadId) return kStation1Steps;
  return kStation2Steps;
}

const StepRow* StepAt(Station station, int position) {
  const auto list = StepList(station);
  if (position < 0 || static_cast<size_t>(position) >= list.size()) return nullptr;
  return &list[static_cast<size_t>(position)];
}

int PositionOf(StepAction action, int argument) {
  for (Station station : {Station::kHeadId, Station::kAdjustment}) {
    const auto list = StepList(station);
    const auto it = std::find_if(list.begin(), list.end(), [&](const StepRow& row) {
      return row.action == action && row.argument == argument;
    });
    if (it != list.end()) return static_cast<int>(it - list.begin());
  }
  return -1;
}

}  // namespace tarvo::station
