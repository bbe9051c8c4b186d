#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "charts/chart_table.h"
#include "model/station_data.h"
#include "station/station_files.h"
#include "station/step_runner.h"
#include "testing/device_rig.h"

namespace tarvo::station {

// A station on the simulated printer in virtual time: the device rig, a station folder of its
// own (stand-in chart files, the settings files) in its context, the station data and a step
// runner over them. Free of any test framework, so the
// benchmark uses it too.
struct StationRig : testing::DeviceRig {
  StationRig() : folder_(MakeFolder()), files(folder_) {
    for (const Chart& c : kCharts) {
      Write(std::string(c.first_file), 5000);
      Write(std::string(c.second_file), 3000);
    }
    ctx.station_dir = folder_;
  }
  ~StationRig() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  void Write(const std::string& name, size_t size) const {
    std::ofstream(folder_ / name, std::ios::binary) << std::string(size, 'x');
  }

  // Station 1 set to destination `index` with Belt Name "AB1" and PC Name "Z9"; Station 2 to
  // destination `index` and Jig No. "07".
  void SetUpStations(uint8_t index = 0) const {
    files.WriteStation1({index, 'A', 'B', '1', 'Z', '9'});
    files.WriteStation2({index, '0', '7'});
  }

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

 private:
  static std::filesystem::path MakeFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvo-station-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return std::filesystem::temp_directory_path();
    return pattern;
  }

  std::filesystem::path folder_;

 public:
  StationFiles files;
  StationData data;
  StepRunner runner{ctx, link, data, files};
};

}  // namespace tarvo::station
