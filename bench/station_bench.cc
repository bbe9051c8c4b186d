// A whole Station 2 run through the step runner on the simulated printer, in virtual time: a
// printer fresh from Station 1, then "1. Inital Device", "2. Ink Charge / Print - Nozzle Check",
// "3. Device Adjustment", "4. Print - G0S A4" and " 9. Ink DisCharge" with a recording operator
// answering PASS throughout.
//
//   build/bench/station_bench [RUNS]      (default 20)
//
// Reports the wall time of one Station 2 run (fastest and median of RUNS; goal: under 50 ms).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "station/station_test_rig.h"

namespace {

using Millis = std::chrono::duration<double, std::milli>;
using tarvo::station::PositionOf;
using tarvo::station::StationRig;
using tarvo::station::StepAction;

double OneRun(bool& passed) {
  auto rig = std::make_unique<StationRig>();
  rig->SetUpStations();
  rig->runner.SelectStation(0);
  rig->AnswerStation1();
  rig->runner.Run(PositionOf(StepAction::kGrease));
  rig->runner.Run(PositionOf(StepAction::kInputHeadId));

  const auto start = std::chrono::steady_clock::now();
  rig->runner.SelectStation(1);
  rig->AnswerInitialDevice();
  rig->runner.Run(PositionOf(StepAction::kInitialDevice));
  rig->AnswerNozzleCheck();
  rig->runner.Run(PositionOf(StepAction::kChargeAndCheck));
  rig->AnswerDeviceAdjustment();
  rig->runner.Run(PositionOf(StepAction::kDeviceAdjustment));
  rig->op.QueueDialogLine("pass");
  rig->runner.Run(PositionOf(StepAction::kPrintAndInspect, 0));  // G0S A4
  rig->AnswerDischarge();
  rig->runner.Run(PositionOf(StepAction::kInkDischarge));
  const auto end = std::chrono::steady_clock::now();

  passed = rig->runner.page().total.text == "PASS";
  return Millis(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  std::vector<double> times;
  bool all_passed = true;
  for (int i = 0; i < runs; ++i) {
    bool passed = false;
    times.push_back(OneRun(passed));
    all_passed = all_passed && passed;
  }
  std::sort(times.begin(), times.end());
  std::printf("station 2 run: fastest %.2f ms, median %.2f ms over %d runs (goal: < 50 ms)%s\n",
              times.front(), times[times.size() / 2], runs,
              all_passed ? "" : "; NOT every run ended PASS");
  return all_passed ? 0 : 1;
}
