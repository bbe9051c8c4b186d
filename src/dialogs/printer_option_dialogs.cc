#include "dialogs/printer_option_dialogs.h"

#include <array>
#include <utility>

#include "dialogs/field_checks.h"

namespace tarvo {
namespace {

constexpr int kOn = 0;
constexpr int kOff = 1;

// The radio of a "disable" value: 0 is "On", anything else "Off".
int RadioOf(int64_t disable) {
  return disable == 0 ? kOn : kOff;
}

Control Number(int id, std::string label, int64_t value, bool enabled) {
  Control c;
  c.id = id;
  c.kind = ControlKind::kInteger;
  c.label = std::move(label);
  c.text = std::to_string(value);
  c.enabled = enabled;
  return c;
}

Control OnOff(int on_id, int off_id, std::string label, int selected) {
  Control c;
  c.id = on_id;
  c.kind = ControlKind::kRadio;
  c.label = std::move(label);
  c.options = {"On", "Off"};
  c.option_ids = {on_id, off_id};
  c.selected = selected;
  return c;
}

}  // namespace

void SetInitOffsetDialog::Load() {
  const bool on = RadioOf(disable) == kOn;
  controls_ = {OnOff(kRadioId, kRadioId + 1, "Initial Offset", RadioOf(disable)),
               Number(kMs1Id, "MS1", ms1, on),
               Number(kMs2Id, "MS2", ms2, on),
               Number(kVsdId, "VSD", vsd, on),
               Number(kEcnId, "ECN", ecn, on),
               Number(kTofId, "TOF", tof, on),
               Button(kOkId, "APPLY"),
               Button(kCancelId, "EXIT")};
}

void SetInitOffsetDialog::Changed(int control_id) {
  if (control_id != kRadioId) return;
  const bool on = Selected(kRadioId) == kOn;
  for (int id : {kMs1Id, kMs2Id, kVsdId, kEcnId, kTofId}) {
    if (Control* box = control(id)) box->enabled = on;
  }
}

PressOutcome SetInitOffsetDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  constexpr std::array<int, 5> kBoxes = {kMs1Id, kMs2Id, kVsdId, kEcnId, kTofId};
  std::array<int32_t, 5> values{};
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    IntegerEntry entry = ReadIntegerBox(*this, kBoxes[i]);
    if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
    values[i] = *entry.value;
  }
  disable = Selected(kRadioId) == kOn ? 0 : 1;
  ms1 = values[0];
  ms2 = values[1];
  vsd = values[2];
  ecn = values[3];
  tof = values[4];
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

void InkSystemInitDialog::Load() {
  controls_ = {OnOff(kOnId, kOffId, "Ink System Init", RadioOf(disable_ink)),
               Number(kCl2kkId, "CL2 KK", cl2kk, false),
               Number(kUnplugId, "unplugAcmlt", unplug_a, true),
               Number(kTclId, "tclCondition", tcl_cond, true),
               Button(kOkId, "OK"),
               Button(kCancelId, "Cancel")};
}

void InkSystemInitDialog::Changed(int control_id) {
  if (control_id != kOnId) return;
  const bool on = Selected(kOnId) == kOn;
  for (int id : {kCl2kkId, kUnplugId, kTclId}) {
    if (Control* box = control(id)) box->enabled = on;
  }
}

PressOutcome InkSystemInitDialog::Press(int button_id) {
  if (button_id != kOkId) return PressOutcome::Close(DialogResult::kCancel);
  constexpr std::array<int, 3> kBoxes = {kCl2kkId, kUnplugId, kTclId};
  std::array<uint8_t, 3> values{};
  for (size_t i = 0; i < kBoxes.size(); ++i) {
    IntegerEntry entry = ReadIntegerBox(*this, kBoxes[i], std::pair{0, 255});
    if (entry.refusal) return PressOutcome::Refuse(*entry.refusal);
    values[i] = static_cast<uint8_t>(*entry.value);
  }
  disable_ink = Selected(kOnId) == kOn ? 0 : 1;
  cl2kk = values[0];
  unplug_a = values[1];
  tcl_cond = values[2];
  Load();
  return PressOutcome::Close(DialogResult::kOk);
}

}  // namespace tarvo
