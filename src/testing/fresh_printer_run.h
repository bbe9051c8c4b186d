#pragma once

// The windows a fresh simulated printer shows through Station 1 and Station 2, and the answers
// that take it to "PASS": what the end-to-end tests of both programs drive through their own
// windows.

#include <utility>
#include <vector>

namespace tarvo::testing {

// The windows and answers of a fresh printer through both stations, in the order they come:
// each entry a station to choose first (-1: none), the step list row, and its windows.
struct StationStep {
  int station;
  int row;
  std::vector<std::pair<const char*, const char*>> windows;
};

inline const std::vector<StationStep>& FreshPrinterRun() {
  static const std::vector<StationStep> run = {
      {0, 0, {{"dialog 203 Lubrication of Grease", "pass"}}},
      {-1,
       1,
       {{"dialog 179 Input Head ID", "enter AB12CD"},
        {"message Head ID: Write EEPROM Success !!", "ok"}}},
      {1,
       0,
       {{"dialog 188 Input Machine No.", "enter MN001"},
        {"dialog 204 Input Machine ID", "enter A123456789012"}}},
      {-1, 4, {{"dialog 203 Nozzle Check", "pass"}}},
      {-1,
       13,
       {{"dialog 173 TOF Adjustment", "choose 0"},
        {"dialog 173 TOF Adjustment", "choose 1"},
        {"dialog 203 TOF Adjustment", "pass"},
        {"dialog 189 MS1", "reprint 2"},
        {"dialog 189 MS1", "ok -1"},
        {"dialog 203 MS1 Bi-d Adjustment", "pass"},
        {"dialog 189 MS2", "ok 0"},
        {"dialog 203 MS2 Bi-d Adjustment", "pass"},
        {"dialog 189 VSD", "ok 0"},
        {"dialog 203 VSD Bi-d Adjustment", "pass"},
        {"dialog 189 ECN", "ok 0"},
        {"dialog 203 ECN Bi-d Adjustment", "pass"}}},
      {-1, 19, {{"dialog 205 G0S A4", "pass"}}},
      {-1, 21, {{"dialog 206 S/F Letter", "pass"}}},
      {-1, 22, {{"dialog 206 Photo", "pass"}}},
      {-1, 23, {{"dialog 207 Post Card", "pass"}}},
      {-1, 24, {{"dialog 206 Envelope", "inspect pass pass"}}},
      {-1,
       26,
       {{"message Ink DisCharge: Put on the JIG and Continue !!", "ok"},
        {"dialog 200 DisMessage", "no"},
        {"message Ink DisCharge: Move away the JIG and Continue !!", "ok"},
        {"message Ink DisCharge: Plug out AC Cable !!", "ok"},
        {"message Ink DisCharge: Completed !!", "ok"},
        {"dialog 203 DisCharge", "pass"}}},
  };
  return run;
}

}  // namespace tarvo::testing
