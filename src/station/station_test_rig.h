#pragma once

#include <cstdint>

#include "model/station_data.h"
#include "station/station_files.h"
#include "station/step_runner.h"
#include "testing/device_rig.h"
#include "testing/station_folder.h"
#include "testing/station_setup.h"

namespace tarvo::station {

// A station on the simulated printer in virtual time: the device rig, a station folder of its
// own (stand-in chart files, the settings files) in its context, the station data and a step
// runner over them. Free of any test framework, so the
// benchmark uses it too.
struct StationRig : testing::DeviceRig {
  // Both stations set to destination `index` (testing::SetUpStations).
  void SetUpStations(uint8_t index = 0) const { testing::SetUpStations(files, index); }

  // The answers of a passing Station 1 (grease PASS, head ID AB12CD) and of a passing Station 2
  // from "1. Inital Device" to the discharge, step by step.
  void AnswerStation1() {
    op.QueueDialogLine("pass");
    op.QueueDialogLine("enter AB12CD");
  }
  void AnswerInitialDevice() {
    op.QueueDialogLine("enter mn001");
    op.QueueDialogLine("enter A123456789012");
  }
  void AnswerNozzleCheck(const char* verdict = "pass") { op.QueueDialogLine(verdict); }
  void AnswerTof(const char* verdict = "pass") {
    op.QueueDialogLine("ok");  // the TOF chart as printed
    op.QueueDialogLine(verdict);
  }
  void AnswerBiD(const char* verdict = "pass") {
    op.QueueDialogLine("ok 0");
    op.QueueDialogLine(verdict);
  }
  void AnswerDeviceAdjustment() {
    AnswerTof();
    for (int mode = 0; mode < 4; ++mode) AnswerBiD();
  }
  void AnswerDischarge(const char* verdict = "pass") {
    op.QueueDialogLine("no");  // no further discharge cycle
    op.QueueDialogLine(verdict);
  }

  // A fresh printer through Station 1 and every mandatory step of Station 2 but the discharge.
  void RunToDischarge() {
    SetUpStations();
    runner.SelectStation(0);
    AnswerStation1();
    runner.Run(PositionOf(StepAction::kGrease));
    runner.Run(PositionOf(StepAction::kInputHeadId));
    runner.SelectStation(1);
    AnswerInitialDevice();
    runner.Run(PositionOf(StepAction::kInitialDevice));
    AnswerNozzleCheck();
    runner.Run(PositionOf(StepAction::kChargeAndCheck));
    AnswerDeviceAdjustment();
    runner.Run(PositionOf(StepAction::kDeviceAdjustment));
    op.QueueDialogLine("pass");  // G0S A4
    runner.Run(PositionOf(StepAction::kPrintAndInspect, 0));
  }

  testing::StationFolder folder{ctx};
  StationFiles files{folder.path()};
  StationData data;
  StepRunner runner{ctx, link, data, files};
};

}  // namespace tarvo::station
