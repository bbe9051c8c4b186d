#include "dialogs/station_setting_dialogs.h"

#include <algorithm>
#include <vector>

#include "dialogs/field_checks.h"
#include "model/destinations.h"

namespace tarvo {
namespace {

std::vector<std::string> RowTexts() {
  std::vector<std::string> rows;
  for (const Destination& d : Destinations()) rows.emplace_back(d.text);
  return rows;
}

// The row text of a current index; empty for an index outside the table.
std::string CurrentCustomer(int index) {
  const Destination* row = FindDestination(index);
  return row ? std::string(row->text) : std::string();
}

int RowOrNone(int index) {
  return FindDestination(index) ? index : -1;
}

Control ReadOnly(int id, std::string label, std::string text) {
  Control c;
  c.id = id;
  c.kind = ControlKind::kText;
  c.label = std::move(label);
  c.text = std::move(text);
  c.read_only = true;
  c.group = "Current Setting";
  return c;
}

constexpr const char* kNoCustomer = "Please select a Customer !!";

// Checks one station name in capitals: empty, length, characters. Messages end with one blank,
// as the station's operators know them.
std::optional<Refusal> CheckName(const std::string& name, size_t length, int box, const char* empty,
                                 const char* wrong_length, const char* wrong) {
  if (name.empty()) return Refusal{empty, "Error", box, false};
  if (name.size() != length) return Refusal{wrong_length, "Error", box, true};
  if (!std::all_of(name.begin(), name.end(), IsAlphanumeric))
    return Refusal{wrong, "Error", box, true};
  return std::nullopt;
}

}  // namespace

void Station1Dialog::PresetFromCurrent() {
  destination = RowOrNone(current_destination);
  belt_name = current_belt;
  pc_name = current_pc;
}

void Station1Dialog::Load() {
  controls_ = {ReadOnly(kCurrentCustomerId, "Customer :", CurrentCustomer(current_destination)),
               ReadOnly(kCurrentBeltId, "Belt Name :", current_belt),
               ReadOnly(kCurrentPcId, "PC Name :", current_pc),
               List(kCustomerId, "Customer :", RowTexts(), RowOrNone(destination)),
               Edit(kBeltId, ControlKind::kText, "Belt Name :", belt_name),
               Edit(kPcId, ControlKind::kText, "PC Name :", pc_name),
               Button(kOkId, "Save"),
               Button(kCancelId, "Cancel")};
}

PressOutcome Station1Dialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  const int row = RowOrNone(Selected(kCustomerId));
  if (row < 0) return PressOutcome::Refuse({kNoCustomer, "Error", kCustomerId, false});
  const std::string belt = ToCapitals(TextOf(kBeltId));
  const std::string pc = ToCapitals(TextOf(kPcId));
  if (auto refusal = CheckName(belt, 3, kBeltId, "Belt Name Can't be NULL !! ",
                               "Length of Belt Name must be 3 !! ", "Belt Name Error !! "))
    return PressOutcome::Refuse(*refusal);
  if (auto refusal = CheckName(pc, 2, kPcId, "PC Name Can't be NULL !! ",
                               "Length of PC Name must be 2!! ", "PC Name Error!! "))
    return PressOutcome::Refuse(*refusal);
  destination = row;
  belt_name = belt;
  pc_name = pc;
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

void Station2Dialog::PresetFromCurrent() {
  destination = RowOrNone(current_destination);
  ic = current_value == "CT";
  jig_no = ic ? std::string() : current_value;
}

void Station2Dialog::Load() {
  Control box = Edit(kJigNoId, ControlKind::kText, "Jig No :", jig_no);
  box.enabled = !ic;
  controls_ = {ReadOnly(kCurrentCustomerId, "Customer :", CurrentCustomer(current_destination)),
               ReadOnly(kCurrentValueId, "Jig No / IC :", current_value),
               List(kCustomerId, "Customer :", RowTexts(), RowOrNone(destination)),
               Radios(kJigRadioId, "Jig No / IC", {"Jig No", "IC"}, ic ? 1 : 0),
               box,
               Button(kOkId, "Save"),
               Button(kCancelId, "Cancel")};
}

void Station2Dialog::Changed(int control_id) {
  focus_id = 0;
  if (control_id != kJigRadioId) return;
  const bool chose_ic = Selected(kJigRadioId) == 1;
  if (Control* box = control(kJigNoId)) box->enabled = !chose_ic;
  focus_id = chose_ic ? 0 : kJigNoId;
}

PressOutcome Station2Dialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  const int row = RowOrNone(Selected(kCustomerId));
  if (row < 0) return PressOutcome::Refuse({kNoCustomer, "Error", kCustomerId, false});
  const bool chose_ic = Selected(kJigRadioId) == 1;
  const std::string entry = TextOf(kJigNoId);
  std::string stored = "CT";
  if (!chose_ic) {
    if (auto refusal = CheckName(entry, 2, kJigNoId, "Jig No Can't be NULL !!",
                                 "Length of Jig No must be 2 !!", "Jig No Error !!"))
      return PressOutcome::Refuse(*refusal);
    stored = ToCapitals(entry);
  }
  destination = row;
  ic = chose_ic;
  jig_no = chose_ic ? jig_no : stored;
  value = stored;
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
