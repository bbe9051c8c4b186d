#include "station/step_lists.h"

namespace tarvo::station {
namespace {

constexpr std::string_view kSeparator = "-------------------------------------------------------";
static_assert(kSeparator.size() == 55);

constexpr std::string_view kStation1Steps[] = {
    " 1. Lubrication of Grease",
    " 2. Input Head ID",
};

constexpr std::string_view kStation2Steps[] = {
    " 1. Inital Device",
    "    1-1. Read ROM Data / Check CT Setting",
    "    1-2. Input Machine No.",
    "    1-3. Input Machine ID",
    " 2. Ink Charge / Print - Nozzle Check",
    "    2-1. Nozzle Cleaning - CL1 / Print - Nozzle Check",
    "    2-2. Nozzle Cleaning - CL1D / Print - Nozzle Check",
    "    2-3. Nozzle Cleaning - CL2 / Print - Nozzle Check",
    "    2-4. Ink Charge",
    "    2-5. Nozzle Cleaning - CL1",
    "    2-6. Nozzle Cleaning - CL1D",
    "    2-7. Nozzle Cleaning - CL2",
    "    2-8. Print - Nozzle Check",
    " 3. Device Adjustment",
    "    3-1. Print - TOF",
    "    3-2. Print - Bi-d MS1",
    "    3-3. Print - Bi-d MS2",
    "    3-4. Print - Bi-d VSD",
    "    3-5. Print - Bi-d ECN",
    " 4. Print - G0S A4",
    kSeparator,
    " 5. Print - S/F Letter",
    " 6. Print - Photo",
    " 7. Print - Post Card",
    " 8. Print - Envelope",
    kSeparator,
    " 9. Ink DisCharge",
};
static_assert(std::size(kStation2Steps) == 27);

}  // namespace

std::span<const std::string_view> StepList(Station station) {
  if (station == Station::kHeadId) return kStation1Steps;
  return kStation2Steps;
}

}  // namespace tarvo::station
