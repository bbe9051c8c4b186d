#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "model/rom_layout.h"
#include "model/step_recording.h"
#include "protocol/eeprom.h"
#include "testing/device_rig.h"

namespace tarvo::records::testing {

// Runs the steps of Station 1 and Station 2 on the simulated printer, each put on record as the
// step runner does it: a StepRecording made before the step, the printer's head data block read
// (every Station 2 step starts so), the EEPROM written where the step writes it, the slots set,
// the recording finished.
struct StationRun {
  explicit StationRun(tarvo::testing::DeviceRig& rig) : rig(rig) {}

  static constexpr std::array<std::string_view, 2> kStation1Slots = {"Grease", "Head ID"};
  static constexpr std::array<std::string_view, 13> kStation2Slots = {
      "CT",     "Nozzle Check", "TOF", "MS1",   "MS2",  "VSD",     "ECN",
      "G0S A4", "DisCharge",    "S/F", "Photo", "Card", "Envelope"};
  static constexpr std::array<std::string_view, 27> kStation2Steps = {
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
      "-------------------------------------------------------",
      " 5. Print - S/F Letter",
      " 6. Print - Photo",
      " 7. Print - Post Card",
      " 8. Print - Envelope",
      "-------------------------------------------------------",
      " 9. Ink DisCharge"};
  // The slot each Station 2 position sets (-1: none); the chained positions 0 and 13 set the
  // first of theirs.
  static constexpr std::array<int, 27> kStation2SlotOf = {
      0, 0, -1, -1, 1, 1, 1, 1, -1, -1, -1, -1, 1, 2, 2, 3, 4, 5, 6, 7, -1, 9, 10, 11, 12, -1, 8};

  StationSettingsRecord settings{"031", "ABC", "01", "CT"};

  // Station 1 for a printer whose head gets `head_id` and whose USB serial number `serial`; its
  // grease failed first when asked.
  void Station1(const std::string& head_id, bool grease_fails = false,
                const std::string& serial = "ABC01") {
    std::array<uint8_t, 2> results = Grease(grease_fails);
    StepRecording rec(rig.ctx, 1, 1, " 2. Input Head ID", results);
    rig.ctx.records->BeginOperation("SetHeadID");
    ReadData(rig.ctx, rig.link, read);
    working = read;
    std::copy_n(serial.begin(), std::min<size_t>(serial.size(), 18),
                working.begin() + kUsbSerialNoOffset);
    std::copy_n("261208113118", 12, working.begin() + kTimeStampOffset);
    std::copy_n(head_id.begin(), std::min<size_t>(head_id.size(), kHeadIdSize),
                working.begin() + kHeadIdOffset);
    results[1] = WriteDataVerify(rig.ctx, rig.link, working, read) ? 1 : 0;
    read.fill(0);  // the runner clears the read block after a written head ID
    rec.Finish(results, kStation1Slots, results[1] == 1 ? 1 : 0, working, read, settings);
  }

  // The grease alone, the first step at Station 1: it names no printer yet. Its slots.
  std::array<uint8_t, 2> Grease(bool fails = false) {
    std::array<uint8_t, 2> results = {2, 2};
    StepRecording rec(rig.ctx, 1, 0, " 1. Lubrication of Grease", results);
    results[0] = fails ? 0 : 1;
    rec.Finish(results, kStation1Slots, fails ? 0 : 2, working, read, settings);
    return results;
  }

  // Every position of Station 2, each run once; `fail_slot` gets FAIL, every other slot PASS.
  void Station2(int fail_slot = -1) {
    std::array<uint8_t, 13> results;
    results.fill(2);
    for (int position = 0; position < 27; ++position) {
      StepRecording rec(rig.ctx, 2, position, kStation2Steps[position], results);
      ReadData(rig.ctx, rig.link, read);
      if (position == 1) working = read;
      if (position == 14) {
        rig.ctx.records->BeginOperation("TOF");
        working[kTofAdjustOffset] = 2;
        ReadData(rig.ctx, rig.link, read);
        WriteDataVerify(rig.ctx, rig.link, working, read);
      }
      const int slot = kStation2SlotOf[position];
      if (slot >= 0) {
        results[slot] = slot == fail_slot ? 0 : 1;
        rec.SlotSet(slot, kStation2Slots[slot], results[slot]);
      }
      rec.Finish(results, kStation2Slots, Total(results), working, read, settings);
    }
  }

  static int Total(std::span<const uint8_t> r) {
    if (std::find(r.begin(), r.end(), 0) != r.end()) return 0;
    if (std::find(r.begin(), r.begin() + 9, 2) != r.begin() + 9) return 2;
    return 1;
  }

  tarvo::testing::DeviceRig& rig;
  HeadBlock working{};
  HeadBlock read{};
};

}  // namespace tarvo::records::testing
