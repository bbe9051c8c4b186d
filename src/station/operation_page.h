#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/rom_layout.h"
#include "station/result_slots.h"
#include "station/stations.h"

namespace tarvo::station {

// Ids of the page's read-only fields (the edit boxes of the operation page).
enum FieldId : int {
  kProgramField = 1182,
  kFwVersionField = 1183,
  kCustomerField = 1255,
  kBeltNameField = 1264,
  kPcNameField = 1266,
  kUsbSerialField = 1256,
  kHeadIdField = 1257,
  kJigNoField = 1269,
  kMachineNoField = 1268,
  kMachineIdField = 1273,
  kInkChargeField = 1270,
  kCleanNozzleField = 1272,
  kTotalPrintField = 1274,
  kMs1Field = 1259,
  kMs2Field = 1260,
  kVsdField = 1262,
  kEcnField = 1263,
  kTofField = 1094,
  kLeftPosField = 1261,
};

struct PageField {
  int id;
  std::string_view label;  // "FW Version :"
  std::string text;
};

// A result label: a text in one of eight states, 0-3 small text in black, red, green, blue,
// 4-7 large text in black, red, green, blue on white.
enum LabelState : int {
  kBlack = 0,
  kRed = 1,
  kGreen = 2,
  kBlue = 3,
  kLargeBlack = 4,
  kLargeRed = 5,
  kLargeGreen = 6,
  kLargeBlue = 7,
};

struct ResultLabel {
  std::string text;
  int left = 0, top = 0, right = 0, bottom = 0;  // in the page's client area, pixels
  int state = kBlack;
};

// The operation page as values: what a view shows after each step. The step runner changes it
// and tells its observer; a view only reads it.
class OperationPage {
 public:
  OperationPage();

  // The station selector: 0 Station 1, 1 Station 2, -1 none selected (the page then behaves as
  // Station 2).
  int selection = -1;
  std::vector<std::string_view> steps;   // the selected station's step list
  std::vector<PageField> fields;         // in the order of the page's layout
  std::vector<ResultLabel> slot_labels;  // the selected station's result slots
  ResultLabel total;
  ResultLabel write_rom_fail;

  const PageField& Field(int id) const;
  void SetField(int id, std::string text);
  void SetNumber(int id, int value) { SetField(id, std::to_string(value)); }

  // Empties every field but "Program :", sets the numeric ones to 0 and empties the step list.
  void Clear();

  // Fills the customer, names, (with `serial`) USB serial number and head ID, and the alignment
  // values from `block`; TOF is always taken from `working` (byte 31 times 25). A model code
  // without a row keeps the customer field as it was.
  void ShowHeadBlock(std::span<const uint8_t, kHeadBlockSize> block,
                     std::span<const uint8_t, kHeadBlockSize> working, bool serial);

  // New slot labels of `station` in state 0, total "Testing", "Write ROM Fail" black.
  void ResetLabels(Station station);
  void SetSlot(size_t slot, int state);
  // 1 "PASS" (large green), 2 "Testing" (large blue), 0 "FAIL" (large red); "Write ROM Fail"
  // turns red when `rom_write_failures` is not zero.
  void ShowTotal(uint8_t total, uint8_t rom_write_failures);

 private:
  PageField& MutableField(int id);
};

}  // namespace tarvo::station
